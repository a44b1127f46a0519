#!/bin/bash
# Fault injection against parvane-cli: kills in the middle of a save, writes
# that fail part-way, memory exhaustion, inputs that are no text file, and two
# runs saving one file at once. Each case checks that a file is always its old
# or its new text and that nothing half-written stays behind.
#
# Usage: fault_injection.sh PARVANE-CLI
set -u
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skip() { echo "SKIP: $*"; }
same() { cmp -s "$1" "$2"; }
# Temporary files of saves and backups: .NAME.parvane-PID.XXXXXX
temporaries() { find "$1" -maxdepth 1 -name '.*.parvane-*' | wc -l; }

# A few MB of lines, and what reversing them gives.
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "line %06d of the old text\r\n", i }' > old.txt
"$cli" -e '[逆にする]' --stdout old.txt > new.txt || fail "reversing to standard output"

echo "== kill -9 during an in-place save"
mkdir -p kill
# Kill at fractions of the time a whole run takes here, so that the kills
# fall in reading, working and writing on fast and slow machines alike.
cp old.txt kill/big.txt
start=$(date +%s%N)
"$cli" --no-backup -e '[逆にする]' kill/big.txt
whole=$(( ($(date +%s%N) - start) / 1000 ))  # microseconds
delays=""
for percent in 10 30 50 60 70 80 85 90 95 100; do
  delays="$delays $(awk -v us="$whole" -v p="$percent" 'BEGIN { printf "%.4f", us * p / 100 / 1e6 }')"
done
for delay in $delays; do
  cp old.txt kill/big.txt
  "$cli" --no-backup -e '[逆にする]' kill/big.txt 2>/dev/null &
  pid=$!
  sleep "$delay"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if ! same kill/big.txt old.txt && ! same kill/big.txt new.txt; then
    fail "killed after ${delay}s: the file is neither the old nor the new text"
  fi
  # The next run in that folder sweeps what the killed one left.
  printf 'b\r\na\r\n' > kill/other.txt
  "$cli" --no-backup -e '[逆にする]' kill/other.txt || fail "the run after the kill"
  [ "$(temporaries kill)" -eq 0 ] || fail "killed after ${delay}s: a temporary file stays"
done

echo "== a write that fails part-way (file size limit)"
cp old.txt limit.txt
msg=$( (ulimit -f 1024; "$cli" --no-backup -e '[逆にする]' limit.txt) 2>&1 )
status=$?
[ "$status" -eq 1 ] || fail "size limit: status $status, not 1"
same limit.txt old.txt || fail "size limit: the original did not survive"
case "$msg" in *limit.txt*) ;; *) fail "size limit: the message does not name the file: $msg" ;; esac
[ "$(temporaries .)" -eq 0 ] || fail "size limit: a temporary file stays"
# The backup copy fails the same way and leaves no partial .bak behind.
cp old.txt limit.txt
printf 'earlier backup\r\n' > limit.bak
mkdir -p config/parvane && printf '[Parvane]\nFile.Trash=0\n' > config/parvane/parvane.ini
msg=$( (ulimit -f 1024; "$cli" -e '[逆にする]' limit.txt) 2>&1 )
same limit.txt old.txt || fail "size limit with backup: the original did not survive"
[ ! -e limit.bak ] || [ "$(cat limit.bak)" = $'earlier backup\r' ] || same limit.bak old.txt ||
  fail "size limit with backup: a partial .bak"
[ "$(temporaries .)" -eq 0 ] || fail "size limit with backup: a temporary file stays"
rm -f config/parvane/parvane.ini

echo "== memory exhaustion"
msg=$( (ulimit -v 400000; "$cli" --stdout /dev/zero) 2>&1 >/dev/null )
status=$?
if [ "$status" -eq 1 ]; then
  [ -n "$msg" ] || fail "memory: no message"
elif [ "$status" -eq 134 ]; then
  # The command-line tool learns to catch exhaustion on another branch.
  skip "memory: aborted (status 134); catching std::bad_alloc is not merged here yet"
else
  fail "memory: status $status, not 1"
fi

echo "== inputs that are no text file"
mkdir folder
printf 'x\r\n' > folder/inside.txt
msg=$("$cli" --no-backup -e '[逆にする]' folder 2>&1)
status=$?
[ "$status" -eq 1 ] && [ -n "$msg" ] || fail "a folder: status $status, message '$msg'"
[ "$(ls -A folder)" = inside.txt ] || fail "a folder: its contents changed"
msg=$("$cli" --no-backup -e '[逆にする]' /dev/null 2>&1)
status=$?
[ "$status" -eq 1 ] && [ -n "$msg" ] || fail "a device: status $status, message '$msg'"
[ -c /dev/null ] || fail "a device: /dev/null is no longer a device"
if [ "$(id -u)" -eq 0 ]; then
  # Permissions do not stop root, and no other user can be switched to here.
  skip "an unreadable file and a read-only folder: running as root"
else
  printf 'b\r\na\r\n' > secret.txt
  chmod 000 secret.txt
  msg=$("$cli" --no-backup -e '[逆にする]' secret.txt 2>&1)
  status=$?
  chmod 600 secret.txt
  [ "$status" -eq 1 ] && [ -n "$msg" ] || fail "unreadable: status $status"
  [ "$(cat secret.txt)" = $'b\r\na\r' ] || fail "unreadable: the file changed"
  mkdir ro && printf 'b\r\na\r\n' > ro/a.txt && chmod 555 ro
  msg=$("$cli" --no-backup -e '[逆にする]' ro/a.txt 2>&1)
  status=$?
  chmod 755 ro
  [ "$status" -eq 1 ] && [ -n "$msg" ] || fail "read-only folder: status $status"
  [ "$(cat ro/a.txt)" = $'b\r\na\r' ] || fail "read-only folder: the file changed"
fi

echo "== two runs saving one file at once"
awk 'BEGIN { for (i = 0; i < 50000; i++) printf "%06d\r\n", i }' > base.txt
"$cli" -e '[行頭に文字列を追加],A' --stdout base.txt > a.txt
"$cli" -e '[行頭に文字列を追加],B' --stdout base.txt > b.txt
"$cli" -e '[行頭に文字列を追加],B' --stdout a.txt > ab.txt
"$cli" -e '[行頭に文字列を追加],A' --stdout b.txt > ba.txt
for round in 1 2 3 4 5 6; do
  cp base.txt shared.txt
  "$cli" --no-backup -e '[行頭に文字列を追加],A' shared.txt &
  first=$!
  "$cli" --no-backup -e '[行頭に文字列を追加],B' shared.txt &
  second=$!
  wait "$first" "$second"
  if ! same shared.txt a.txt && ! same shared.txt b.txt && ! same shared.txt ab.txt &&
     ! same shared.txt ba.txt; then
    fail "round $round: the file is a mix of the two runs"
  fi
done
[ "$(temporaries .)" -eq 0 ] || fail "concurrent runs: a temporary file stays"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all cases passed"
