#!/usr/bin/env bash
# Times the regular-expression engine against sed -E and grep -E (byte
# locale) on one Shift_JIS file, whole process against whole process, and
# prints the ratios (ours / peer; below 1 means we are faster).
#
# usage: bench/regex_compare.sh [BUILD_DIR] [FILE]
# Without FILE it takes bench/corpus/*.sjis.txt, or generates a deterministic
# Japanese Shift_JIS file of about 20 MB in a temporary directory.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
tool="$build/regex_lines_bench"
if [[ ! -x "$tool" ]]; then
  echo "missing $tool: make build TARGET=regex_lines_bench" >&2
  exit 2
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

file="${2:-}"
if [[ -z "$file" ]]; then
  file="$(ls "$here"/corpus/*.sjis.txt 2>/dev/null | head -n 1 || true)"
fi
if [[ -z "$file" ]]; then
  file="$work/corpus.sjis.txt"
  python3 - "$file" <<'PY'
import random, sys
rng = random.Random(20240611)
words = ["東京", "大阪", "京都", "名古屋", "横浜", "天気", "会社", "電話番号", "学校", "新幹線",
         "です", "ます", "した", "ません", "こと", "もの", "ため", "よう"]
kana = [chr(c) for c in range(0x3041, 0x3094)] + [chr(c) for c in range(0x30A1, 0x30F7)]
particles = ["の", "は", "が", "を", "に", "で", "と", "も", "、", "。"]
ascii = ["data", "id", "2024", "abc", "x1", "42", "file", "memo"]
out = []
size = 0
while size < 20_000_000:
    parts = []
    for _ in range(rng.randint(0, 18)):
        r = rng.random()
        if r < 0.35: parts.append(rng.choice(words))
        elif r < 0.65: parts.append(rng.choice(particles))
        elif r < 0.85: parts.append("".join(rng.choice(kana) for _ in range(rng.randint(1, 4))))
        else: parts.append(rng.choice(ascii) + str(rng.randint(0, 999)))
    line = "".join(parts).encode("cp932")
    out.append(line)
    size += len(line) + 1
open(sys.argv[1], "wb").write(b"\n".join(out) + b"\n")
PY
fi
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

# Best of three wall-clock runs, in seconds.
best_of_3() {
  local best=""
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s%N)
    bash -c "$1" >/dev/null
    t1=$(date +%s%N)
    local d=$(( (t1 - t0) / 1000000 ))
    if [[ -z "$best" || $d -lt $best ]]; then best=$d; fi
  done
  awk -v ms="$best" 'BEGIN { printf "%.3f", ms / 1000 }'
}

echo "file: $file ($(wc -c <"$file") bytes, $(wc -l <"$file") lines)"
printf '%-28s %10s %10s %8s  %s\n' "operation" "ours(s)" "peer(s)" "ratio" "outputs"
for word in "東京" "東京|大阪|京都|名古屋|横浜" "[0-9]+[a-z]*" "の|は"; do
  pat="$(sjis "$word")"
  printf '%s' "$pat" >"$work/pat"
  ours_cmd="\"$tool\" replace \"\$(cat '$work/pat')\" '<&>' '$file'"
  peer_cmd="LC_ALL=C sed -E \"s/\$(cat '$work/pat')/<&>/g\" '$file'"
  t_ours=$(best_of_3 "$ours_cmd")
  t_peer=$(best_of_3 "$peer_cmd")
  if cmp -s <(bash -c "$ours_cmd") <(bash -c "$peer_cmd"); then same="same"; else same="differ"; fi
  printf '%-28s %10s %10s %8.2f  %s\n' "replace-all $word" "$t_ours" "$t_peer" \
    "$(awk -v a="$t_ours" -v b="$t_peer" 'BEGIN { print (b > 0 ? a / b : 0) }')" "$same"
done
for word in "東京" "東京|大阪|京都|名古屋|横浜" "[0-9]+[a-z]*" "の|は"; do
  pat="$(sjis "$word")"
  printf '%s' "$pat" >"$work/pat"
  ours_cmd="\"$tool\" count \"\$(cat '$work/pat')\" '$file'"
  peer_cmd="LC_ALL=C grep -E -c \"\$(cat '$work/pat')\" '$file' || true"
  t_ours=$(best_of_3 "$ours_cmd")
  t_peer=$(best_of_3 "$peer_cmd")
  c_ours=$(bash -c "$ours_cmd")
  c_peer=$(bash -c "$peer_cmd")
  printf '%-28s %10s %10s %8.2f  %s\n' "find $word" "$t_ours" "$t_peer" \
    "$(awk -v a="$t_ours" -v b="$t_peer" 'BEGIN { print (b > 0 ? a / b : 0) }')" "lines $c_ours / $c_peer"
done
