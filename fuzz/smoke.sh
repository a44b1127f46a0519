#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR for SECONDS from its committed
# seeds (fuzz/corpus/<target>/), one after the other. New inputs go to a
# scratch folder, so the seeds stay as committed; a crash, a leak, a timeout
# or an input over the memory limit fails the run, and its input is kept in
# BUILD_DIR/fuzz-artifacts/.
#
#   fuzz/smoke.sh BUILD_DIR [SECONDS]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: fuzz/smoke.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-30}
artifacts=$build/fuzz-artifacts
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"
# The .pvx target saves through the synced atomic save: a memory file system
# makes it several times faster.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

failed=()
for source in "$root"/fuzz/*_fuzzer.cpp; do
  name=$(basename "${source%.cpp}")
  target=${name%_fuzzer}
  if [ ! -x "$build/$name" ]; then
    echo "fuzz/smoke.sh: $name is not built in $build" >&2
    failed+=("$name")
    continue
  fi
  mkdir -p "$scratch/$target"
  seeds=$root/fuzz/corpus/$target
  [ -d "$seeds" ] || seeds=
  if "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
       "$scratch/$target" $seeds > "$scratch/$target.log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target.log")
    cov=$(grep -o 'cov: [0-9]*' "$scratch/$target.log" | tail -1)
    echo "fuzz/smoke.sh: $name: ${runs:-?} runs, ${cov:-cov: ?}"
  else
    tail -n 40 "$scratch/$target.log" >&2
    echo "fuzz/smoke.sh: $name FAILED (input in $artifacts)" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz/smoke.sh: failed: ${failed[*]}" >&2
  exit 1
fi
