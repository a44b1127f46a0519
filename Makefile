# make run       installs what is missing, builds, starts the program
# make test      installs what is missing, builds, runs every test
# make sanitize  builds the core, parvane-cli, their tests and the fuzz targets
#                with clang's address and undefined-behaviour sanitizers into
#                build-asan/, runs those tests, then every fuzz target for
#                FUZZ_SECONDS from its seeds (.ci/run runs it after make test)
# make           builds into build/
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
TARGET ?= all
FUZZ_SECONDS ?= 25
# Builds take a lock, so two builds in one tree never run at once.
LOCK = flock $(BUILD)/.build.lock
SANITIZERS = -fsanitize=address,undefined -fno-sanitize-recover=undefined
# Slow-labelled tests (exhaustive comparisons) are left out of the sanitized
# run: several times slower there, they would take most of the CI budget for
# code that the fuzz targets exercise with the sanitizers anyway.
ASAN_CTEST = ctest --output-on-failure -j$(JOBS) --timeout 900 -LE slow

.PHONY: all build deps configure run test bench clean sanitize sanitize-test fuzz-smoke

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/Makefile:
	@mkdir -p $(BUILD)
	$(LOCK) cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/Makefile

build: configure
	$(LOCK) cmake --build $(BUILD) -j$(JOBS) --target $(TARGET)

run: deps build
	@if [ ! -x $(BUILD)/parvane ]; then $(BUILD)/parvane-cli --help; \
	elif [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: no display to show the window on (DISPLAY is not set); without one use $(BUILD)/parvane-cli --help"; \
	else $(BUILD)/parvane $(ARGS); fi

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) --timeout 900

$(ASAN_BUILD)/Makefile:
	@mkdir -p $(BUILD) $(ASAN_BUILD)
	$(LOCK) cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DPARVANE_BUILD_APP=OFF -DPARVANE_BUILD_BENCH=OFF -DPARVANE_BUILD_FUZZ=ON \
	  "-DCMAKE_CXX_FLAGS=-O1 -fno-omit-frame-pointer $(SANITIZERS) -fsanitize=fuzzer-no-link" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZERS)"

sanitize-test: deps $(ASAN_BUILD)/Makefile
	$(LOCK) cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(ASAN_CTEST)

fuzz-smoke: sanitize-test
	bash fuzz/smoke.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

sanitize: sanitize-test fuzz-smoke

bench: deps build
	bash bench/compare.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
