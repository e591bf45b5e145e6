#!/usr/bin/env bash
# Sets everything up, builds, and starts the program on the sample knowledge base.
# Without a display it runs the program under Xvfb instead, asks one sample question with
# real keystrokes, saves a screenshot (PNG) into the build folder, prints its path and ends.
# TSL_PRESET chooses the build (dev or release; dev by default).
set -euo pipefail
"$(dirname "$0")/install-deps.sh"
cd "$(dirname "$0")/.."

preset="${TSL_PRESET:-dev}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target tsldemo
program="$PWD/build/$preset/tsldemo/tsldemo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

question="головная боль"
title='"Целитор" демонстрационная версия'
screenshot="$PWD/build/$preset/tsldemo-screenshot.png"
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

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display within 10 s"
export DISPLAY=":$(head -n 1 "$work/display")"
echo "Xvfb on $DISPLAY; starting $program"

"$program" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -n 1) || true
[ -n "$window" ] || fail "the main window did not appear within 30 s"

# Without a window manager nobody hands out the focus: give it to the window, then click
# into the input field (16 px from the left, 8 px into the bottom panel, 50 px high).
timeout 10 xdotool windowfocus --sync "$window" || fail "cannot focus the window"
eval "$(xdotool getwindowgeometry --shell "$window")"
timeout 10 xdotool mousemove --window "$window" 60 $((HEIGHT - 50 + 20)) click 1
sleep 0.3
# xdotool maps each Cyrillic letter onto a spare key first, and the very first key after
# such a change can reach the program before the new map: spend it on a letter that
# Backspace then takes back (or that never arrived).
timeout 10 xdotool type --delay 40 "ж"
sleep 0.2
timeout 10 xdotool key BackSpace
timeout 30 xdotool type --delay 40 "$question"
sleep 0.3
timeout 10 xdotool key Return
sleep 1
kill -0 "$program_pid" 2>/dev/null || fail "the program ended unexpectedly"

eval "$(xdotool getwindowgeometry --shell "$window")"
timeout 30 import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot" \
  || fail "the screenshot failed"
echo "Asked \"$question\"; screenshot: $screenshot"
