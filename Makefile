# make run   installs what is missing, builds, starts the program
# make test  installs what is missing, builds, runs every test
# make       builds into build/
BUILD ?= build
JOBS ?= 2
TARGET ?= all
# Builds take a lock, so two builds in one tree never run at once.
LOCK = flock $(BUILD)/.build.lock

.PHONY: all build deps configure run test bench clean

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

bench: deps build
	bash bench/compare.sh

clean:
	rm -rf $(BUILD)
