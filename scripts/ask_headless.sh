#!/usr/bin/env bash
# Usage: ask_headless.sh PROGRAM SCREENSHOT
# Starts PROGRAM under Xvfb, asks it one sample question with real keystrokes, checks through
# its accessibility interface that it received exactly that question, saves a screenshot
# (PNG) of its main window to SCREENSHOT and ends. Needs the session bus of
# `tests/desktop/transcript.py with-bus` (scripts/run.sh runs it so). Every wait is for an
# event or a state, with an upper bound.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$1
screenshot=$2

question="головная боль"
title='"Целитор" демонстрационная версия'
keyboard=(/usr/bin/python3 tests/desktop/keyboard.py)
transcript=(/usr/bin/python3 tests/desktop/transcript.py)
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  set +e
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null; wait "$program_pid" 2>/dev/null; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "run.sh: $*" >&2
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
  done
  exit 1
}

# Xvfb picks a free display itself and writes its number to descriptor 3. Without -noreset
# it would reset, and forget the keyboard map loaded below, when its last client left.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
timeout 10 bash -c 'until [ -s "$1" ]; do kill -0 "$2" 2>/dev/null || exit 1; sleep 0.05; done' _ \
  "$work/display" "$xvfb_pid" || fail "Xvfb gave no display within 10 s"
export DISPLAY=":$(head -n 1 "$work/display")"

# The program reads the keyboard map at its start: load the one that holds every letter of
# the question now, so that typing never has to change it.
"${keyboard[@]}" layouts || fail "cannot load the keyboard layouts"
echo "Xvfb on $DISPLAY; starting $program"

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
[ -n "$window" ] || fail "the main window did not appear within 30 s"

# Without a window manager nobody hands out the focus: give it to the window, then click
# into the input field (16 px from the left, 8 px into the bottom panel, 50 px high). The
# X server hands the program the click and the keys in this order.
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
eval "$(xdotool getwindowgeometry --shell "$window")"
timeout 10 xdotool mousemove --window "$window" 60 $((HEIGHT - 50 + 20)) click 1
"${keyboard[@]}" type "$question" || fail "cannot type the question"
"${transcript[@]}" expect-field "Поле ввода" "$question" || fail "the question did not arrive as typed"
timeout 10 xdotool key Return
"${transcript[@]}" expect-echo "$question" >"$work/transcript" || fail "the program did not hear the question"
kill -0 "$program_pid" 2>/dev/null || fail "the program ended unexpectedly"

# The input field's caret blinks, every half second, and would make one screenshot differ
# from the next: the screenshot is taken again until it shows the caret (a dark pixel in
# its column at the field's left edge, which is otherwise empty after the question).
eval "$(xdotool getwindowgeometry --shell "$window")"
caret_shown() {
  [ "$(convert "$screenshot" -crop "1x21+19+$((HEIGHT - 38))" +repage -format '%[fx:minima < 0.5]' info:)" = 1 ]
}
deadline=$((SECONDS + 10))
while :; do
  timeout 30 import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot" \
    || fail "the screenshot failed"
  caret_shown && break
  [ "$SECONDS" -lt "$deadline" ] || fail "no screenshot with the input field's caret shown within 10 s"
done
echo "Asked \"$question\"; the program answered:"
sed 's/^/  /' "$work/transcript"
echo "Screenshot: $screenshot"
