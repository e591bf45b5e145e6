#!/usr/bin/env bash
# Sets everything up, builds, and starts the program on the sample knowledge base.
# Without a display it runs the program under Xvfb instead, asks one sample question with
# real keystrokes, checks that the program received it, saves a screenshot (PNG) into the
# build folder, prints its path and ends (scripts/ask_headless.sh).
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

# A private session bus, ended with the run, carries the program's accessibility interface,
# through which the question is read back.
exec /usr/bin/python3 tests/desktop/transcript.py with-bus scripts/ask_headless.sh "$program" "$PWD/build/$preset/tsldemo-screenshot.png"
