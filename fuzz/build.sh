#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzzer.cpp) with clang, ASan and UBSan,
# straight from the core's sources: nothing here goes through CMake, so the
# ordinary build and its tests never need clang.
#
#   fuzz/build.sh            build every target
#   fuzz/build.sh rtf        build fuzz/rtf_fuzzer.cpp only
#
# Objects and binaries go to build/fuzz/ (OUT overrides it). Each compile
# takes the tree's build lock, so this never competes with another build.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${OUT:-$root/build/fuzz}
cxx=${CXX_FUZZ:-clang++}
jobs=${JOBS:-2}
lock=$root/build/.build.lock
mkdir -p "$out/obj" "$root/build"

flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -I"$root/src" -I"$root/tests/regex" -I"$root/tests"
       -fsanitize=address,undefined -fno-sanitize-recover=undefined)

# The core minus the two programs; step names need the whole command table,
# which reaches every command, so every folder is compiled once and archived.
sources=()
for folder in text codes regex editor commands chars automation; do
  for f in "$root"/src/$folder/*.cpp; do sources+=("$f"); done
done
# The command-line parser, for cli_arguments_fuzzer.
sources+=("$root/src/cli/arguments.cpp" "$root/src/cli/step_check.cpp")

# Rebuilds an object when its source or any header it included is newer.
stale() {
  local obj=$1 dep=${1%.o}.d
  [ -f "$obj" ] && [ -f "$dep" ] || return 0
  local f
  for f in $(sed -e 's/^[^:]*://' -e 's/\\$//' "$dep"); do
    [ "$f" -nt "$obj" ] && return 0
  done
  return 1
}

todo=()
for src in "${sources[@]}"; do
  rel=${src#"$root"/src/}
  obj=$out/obj/${rel//\//_}
  obj=${obj%.cpp}.o
  if stale "$obj"; then todo+=("$src|$obj"); fi
done

if [ ${#todo[@]} -gt 0 ]; then
  echo "fuzz/build.sh: compiling ${#todo[@]} core sources"
  printf '%s\n' "${todo[@]}" |
    flock "$lock" xargs -P "$jobs" -I{} bash -c '
      src=${1%%|*}; obj=${1##*|}; shift
      if "$@" -fsanitize=fuzzer-no-link -MMD -MF "${obj%.o}.d" -c "$src" -o "$obj.new"; then
        mv "$obj.new" "$obj"
      elif [ -f "$obj" ]; then
        # Someone may be halfway through editing this file: keep the last
        # object that compiled and try again next time.
        echo "fuzz/build.sh: keeping the previous object of $src" >&2
      else
        exit 1
      fi
    ' _ {} "$cxx" "${flags[@]}"
  rm -f "$out/libcore.a"
fi
if [ ! -f "$out/libcore.a" ]; then
  ar rcs "$out/libcore.a" "$out"/obj/*.o
fi

targets=()
if [ $# -gt 0 ]; then
  for name in "$@"; do targets+=("$root/fuzz/${name%_fuzzer}_fuzzer.cpp"); done
else
  targets=("$root"/fuzz/*_fuzzer.cpp)
fi

for t in "${targets[@]}"; do
  name=$(basename "${t%.cpp}")
  echo "fuzz/build.sh: $name"
  flock "$lock" "$cxx" "${flags[@]}" -fsanitize=fuzzer "$t" "$out/libcore.a" \
    -licui18n -licuuc -o "$out/$name"
done
