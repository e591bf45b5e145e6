#!/usr/bin/env bash
# Start-up of the program against a minimal Qt Widgets window, both started the same way
# under one Xvfb in the same run: /usr/bin/time measures each from its start until its
# main window is on the screen (then it is ended), and the memory in use by then.
# Prints the medians of RUNS rounds (5 by default) and the ratios.
set -euo pipefail
"$(dirname "$0")/install-deps.sh"
cd "$(dirname "$0")/.."

preset="${TSL_PRESET:-release}"
runs="${RUNS:-5}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target tsldemo
program="$PWD/build/$preset/tsldemo/tsldemo"
minimal="$PWD/build/$preset/bench/startup/minimal_window"
if ! cmake --build --preset "$preset" --target minimal_window >/dev/null 2>&1; then
  # Not part of the project's build: build it on its own, the same way.
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "build/$preset/CMakeCache.txt")
  cmake -S bench/startup -B "build/$preset/startup-standalone" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
  cmake --build "build/$preset/startup-standalone"
  minimal="$PWD/build/$preset/startup-standalone/minimal_window"
fi

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  set +e
  for pid in $(jobs -p); do [ "$pid" != "$xvfb_pid" ] && kill "$pid" 2>/dev/null; done
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "startup_bench.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# measure NAME TITLE COMMAND...: appends "milliseconds kilobytes seconds" to $work/NAME:
# the time until the window was seen (to a few milliseconds, the pace of the polling),
# and /usr/bin/time's max RSS and elapsed time (to 10 ms) of the run that ended then.
measure() {
  local name=$1 title=$2 time_pid child="" deadline start seen
  shift 2
  start=$(date +%s%N)
  /usr/bin/time -f "%M %e" -o "$work/time.out" "$@" >"$work/$name.log" 2>&1 &
  time_pid=$!
  deadline=$((SECONDS + 30))
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$time_pid" 2>/dev/null; then
      echo "startup_bench.sh: no window of $name within 30 s" >&2
      kill "$time_pid" 2>/dev/null
      exit 1
    fi
    sleep 0.002
  done
  seen=$(date +%s%N)
  child=$(pgrep -P "$time_pid" | head -n 1 || true)
  kill "${child:-$time_pid}" 2>/dev/null || true
  wait "$time_pid" 2>/dev/null || true
  echo "$(((seen - start) / 1000000)) $(tail -n 1 "$work/time.out")" >>"$work/$name"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for _ in $(seq "$runs"); do
  measure program '"Целитор" демонстрационная версия' "$program"
  measure minimal 'Minimal Qt window' "$minimal"
  measure minimal_text 'Minimal Qt window' "$minimal" --text
done

column() { cut -d' ' -f"$2" "$work/$1" | median; }
echo "median of $runs runs, from the start until the main window is shown:"
echo "                          window seen   /usr/bin/time: elapsed  max RSS"
for name in program minimal minimal_text; do
  case $name in
    program) label=tsldemo ;;
    minimal) label=minimal_window ;;
    minimal_text) label="minimal_window --text" ;;
  esac
  printf '  %-22s %8d ms   %19.2f s  %7d KiB\n' "$label" "$(column $name 1)" "$(column $name 3)" "$(column $name 2)"
done
for base in minimal minimal_text; do
  awk -v ps="$(column program 1)" -v ms="$(column $base 1)" -v pk="$(column program 2)" -v mk="$(column $base 2)" \
      -v base="$base" 'BEGIN {
    t = ms > 0 ? ps / ms : 0; m = pk / mk
    label = base == "minimal" ? "minimal_window" : "minimal_window --text"
    printf "  against %-22s time %.2f  memory %.2f  (target <= 1.3: %s, %s)\n", label, t, m,
           (t <= 1.3 ? "ok" : "MISSED"), (m <= 1.3 ? "ok" : "MISSED")
  }'
done
