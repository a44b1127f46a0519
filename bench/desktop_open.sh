#!/bin/bash
# Times the desktop program opening a file given on its command line, as a
# person sees it: from the start of the process until the window's title
# shows the file's line count, polled every 20 ms on a private X server.
# Prints that time, the seconds until the window first appeared, and the
# process's peak memory then (also as a multiple of the file's size).
# With STEP set to a step line (STEP=001), that step is then run as user
# command 1 (Ctrl+1), and the seconds until the title shows the document
# modified and the peak memory after it are printed too: a command keeps an
# undo snapshot in the desktop program.
#
#   bash bench/desktop_open.sh FILE [build/parvane] [RUNS]
#   STEP=001 bash bench/desktop_open.sh FILE
#
# Needs Xvfb and xdotool. The program runs with its own empty settings and
# state folders, so no recovery copy of another session is offered.
set -u
FILE=${1:?usage: desktop_open.sh FILE [parvane] [runs]}
APP=${2:-build/parvane}
RUNS=${3:-3}
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || {
  echo "desktop_open.sh: needs Xvfb and xdotool" >&2
  exit 2
}
work=$(mktemp -d)
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data"
# The server takes a moment to accept clients; a program started before that
# aborts for want of a display.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
step=${STEP:-}
if [[ -n "$step" ]]; then
  mkdir -p "$XDG_CONFIG_HOME/parvane"
  printf 'TITLE=bench\r\n%s\r\n' "$step" >"$work/step.pvx"
  printf '[Parvane]\nUser.Com1.File=%s\n' "$work/step.pvx" >"$XDG_CONFIG_HOME/parvane/parvane.ini"
fi
size=$(stat -c %s "$FILE")
base=$(basename "$FILE")

printf '%-8s %10s %10s %9s %6s %9s %9s %6s\n' run window_s count_s peak_MB x_file step_s peak_MB x_file
for run in $(seq "$RUNS"); do
  start=$(date +%s.%N)
  "$APP" "$FILE" >/dev/null 2>&1 &
  pid=$!
  shown="" counted=""
  for _ in $(seq 3000); do
    title=$(xdotool search --pid "$pid" --onlyvisible --name . getwindowname 2>/dev/null | head -1)
    now=$(date +%s.%N)
    [[ -n "$title" && -z "$shown" ]] && shown=$now
    # The title names the file and its line count once the file is in.
    if [[ "$title" == *"$base"* && "$title" =~ \([[:space:]]*[0-9,]+[[:space:]]*行\) ]]; then
      counted=$now
      break
    fi
    sleep 0.02
  done
  peak_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
  step_s="" step_kb=""
  if [[ -n "$step" && -n "$counted" ]]; then
    window=$(xdotool search --pid "$pid" --onlyvisible --name . 2>/dev/null | head -1)
    step_start=$(date +%s.%N)
    xdotool windowfocus --sync "$window" key ctrl+1 2>/dev/null
    for _ in $(seq 6000); do
      title=$(xdotool getwindowname "$window" 2>/dev/null)
      # "NAME * - ( N 行) - Parvane" once the command has changed the file.
      if [[ "$title" == *"$base * "* ]]; then
        step_s=$(awk -v a="$step_start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
        break
      fi
      sleep 0.02
    done
    step_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [[ -z "$counted" ]]; then
    echo "run $run: the title never showed a line count (last: $title)" >&2
    continue
  fi
  awk -v r="$run" -v s="$start" -v w="${shown:-$counted}" -v c="$counted" -v kb="${peak_kb:-0}" -v sz="$size" \
    -v ss="${step_s:--}" -v skb="${step_kb:-0}" \
    'BEGIN { printf "%-8s %10.2f %10.2f %9.0f %6.2f", r, w - s, c - s, kb / 1024, kb * 1024 / sz
             if (ss != "-") printf " %9s %9.0f %6.2f", ss, skb / 1024, skb * 1024 / sz
             printf "\n" }'
done
