#!/bin/sh
# Measures code detection on short texts: every line of a UTF-8 file becomes
# a file of its own in EUC-JP and in Shift_JIS (lines iconv cannot convert
# are skipped); each is read by parvane-cli (detection, then UTF-8 out) and
# by `nkf --guess`, and the misreads of each are counted.
#
#   bench/short_text_detection.sh LINES.txt [COUNT] [PARVANE-CLI]
#
# nkf (Debian package nkf) is a measuring tool only, not a dependency.
set -eu
lines=$1
count=${2:-300}
cli=${3:-build/parvane-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Japanese lines of 4 to 60 characters, a fixed sample.
grep -P '[\x{3040}-\x{30FF}\x{FF61}-\x{FF9F}\x{4E00}-\x{9FFF}]' "$lines" |
  awk 'length($0) >= 4 && length($0) <= 60' |
  shuf -n "$count" --random-source=/dev/zero > "$work/sample.txt" || true
for code in EUC-JP SHIFT_JIS; do
  total=0 ours=0 theirs=0 both=0
  while IFS= read -r line; do
    printf '%s\n' "$line" > "$work/utf8"
    iconv -f UTF-8 -t "$code" "$work/utf8" > "$work/in" 2>/dev/null || continue
    total=$((total + 1))
    ok_ours=1 ok_theirs=1
    "$cli" --code utf-8n < "$work/in" > "$work/out" 2>/dev/null || true
    cmp -s "$work/out" "$work/utf8" || ok_ours=0
    guess=$(nkf --guess "$work/in" | cut -d' ' -f1)
    case "$code:$guess" in
      EUC-JP:EUC-JP | SHIFT_JIS:Shift_JIS | SHIFT_JIS:CP932) ;;
      *) ok_theirs=0 ;;
    esac
    [ $ok_ours = 1 ] || ours=$((ours + 1))
    [ $ok_theirs = 1 ] || theirs=$((theirs + 1))
    [ $ok_ours = 0 ] && [ $ok_theirs = 1 ] && both=$((both + 1))
  done < "$work/sample.txt"
  echo "$code: $total texts; misread by parvane-cli $ours, by nkf $theirs;" \
       "misread by parvane-cli where nkf reads right: $both"
done
