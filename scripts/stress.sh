#!/usr/bin/env bash
# Runs the README's headless run (scripts/run.sh) and the desktop stage N times each while
# both cores are kept busy, and tells how many runs gave the expected result.
#
# Usage: scripts/stress.sh [N]      (N = 10 by default)
#
# The load is one busy loop per core, each ended by `timeout` after at most LOAD_SECONDS
# (1200 by default) and by this script when it ends, whatever happens. run.sh must print
# the same answer and save the same screenshot every time; the desktop stage must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
load_seconds=${LOAD_SECONDS:-1200}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "stress.sh: N must be a positive number" >&2; exit 2; }

scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target tsldemo

work=$(mktemp -d)
load_pids=()
cleanup() {
  for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${load_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

for _ in $(seq "$(nproc)"); do
  timeout "$load_seconds" sh -c 'while :; do :; done' &
  load_pids+=($!)
done
echo "== $(nproc) busy loops for at most ${load_seconds} s; $runs runs of each"

screenshot=build/dev/tsldemo-screenshot.png
run_ok=0
declare -A seen=()
for i in $(seq "$runs"); do
  if scripts/run.sh >"$work/run.log" 2>&1; then
    sum=$(md5sum <"$screenshot" | cut -d' ' -f1)
    answer=$(grep -A1 '^  Вы сказали:' "$work/run.log" | md5sum | cut -d' ' -f1)
    seen["$answer $sum"]=1
    run_ok=$((run_ok + 1))
    echo "run.sh $i: ok, screenshot $sum"
  else
    echo "run.sh $i: FAILED"
    tail -n 15 "$work/run.log" | sed 's/^/    /'
  fi
done

desktop_ok=0
shots=build/dev/desktop-test
mkdir -p "$shots"
for i in $(seq "$runs"); do
  if timeout 300 /usr/bin/python3 tests/desktop/desktop_test.py build/dev/tsldemo/tsldemo "$shots" \
      >"$work/desktop.log" 2>&1; then
    desktop_ok=$((desktop_ok + 1))
    echo "desktop $i: $(tail -n 1 "$work/desktop.log")"
  else
    echo "desktop $i: FAILED"
    grep -E '^(FAIL|desktop:)' "$work/desktop.log" | sed 's/^/    /'
  fi
done

echo "== run.sh: $run_ok of $runs ok, ${#seen[@]} distinct result(s); desktop stage: $desktop_ok of $runs passed"
[ "$run_ok" -eq "$runs" ] && [ "${#seen[@]}" -eq 1 ] && [ "$desktop_ok" -eq "$runs" ]
