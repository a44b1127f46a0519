#!/bin/bash
# Times parvane-cli replacing long regular expressions in one long line, the
# cases where the lazy automata used to pay the pattern's length for nearly
# every character: runs of `a` around one `.` or one `b*`, over lines of `a`
# (a match everywhere the pattern fits) and of random `a`/`b` (none). A
# 100 KB pattern cannot fit a 64 KiB line, which is refused by its length
# alone: the 150 KB line is the one that makes it search.
#
#   bash bench/long_pattern.sh [build/parvane-cli] [SECONDS_LIMIT]
#
# Prints one row per case: pattern, line, seconds (or "> limit"), and the
# output's checksum, so that two builds can be compared result for result.
set -u
CLI=${1:-build/parvane-cli}
LIMIT=${2:-120}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

run() { head -c "$1" /dev/zero | tr '\0' a; }
run 5000 > "$WORK/half10k"
run 50000 > "$WORK/half100k"
{ cat "$WORK/half10k"; printf .; run 4999; } > "$WORK/dot10k"
{ cat "$WORK/half100k"; printf .; run 49999; } > "$WORK/dot100k"
{ cat "$WORK/half10k"; printf 'b*'; run 4999; } > "$WORK/star10k"
{ cat "$WORK/half100k"; printf 'b*'; run 49999; } > "$WORK/star100k"
{ run 65536; echo; } > "$WORK/a64k"
{ run 150000; echo; } > "$WORK/a150k"
# Random a and b from a fixed seed, so every run reads the same line.
{ awk 'BEGIN { srand(1); for (i = 0; i < 65536; i++) printf "%s", (rand() < 0.5 ? "a" : "b"); print "" }'; } > "$WORK/ab64k"

printf '%-9s %-6s %10s  %s\n' pattern line seconds checksum
for case in "dot10k a64k" "dot10k ab64k" "dot100k a64k" "dot100k a150k" "star100k a64k" "star100k a150k" "star10k a64k" "star10k ab64k"; do
  set -- $case
  start=$(date +%s.%N)
  sum=$(set -o pipefail; timeout "$LIMIT" "$CLI" -e "regex-replace,\"$(cat "$WORK/$1")\",\"X\"" --stdout "$WORK/$2" | md5sum | cut -c1-8)
  status=$?
  end=$(date +%s.%N)
  if [ "$status" = 124 ]; then
    printf '%-9s %-6s %10s  %s\n' "$1" "$2" "> $LIMIT" -
  else
    printf '%-9s %-6s %10s  %s\n' "$1" "$2" "$(awk "BEGIN { printf \"%.2f\", $end - $start }")" "$sum"
  fi
done
