#!/usr/bin/env bash
# Builds the release benchmarks, runs them and prints the ratios that matter, each measured
# within one run: the core on generated knowledge files, the same files and a keystroke
# through the real main window (offscreen), the knowledge-base checker against the
# program's own loading, and hostile article pages and knowledge files.
# Extra arguments go to the core benchmark (e.g. --benchmark_filter=100000).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
out=build/release/knowledge_bench.json

echo "== core: load, query, keystrokes"
build/release/bench/knowledge_bench --benchmark_out="$out" --benchmark_out_format=json "$@"
# A missed target is reported at the end, after every benchmark has run.
missed=0
python3 bench/ratios.py "$out" || missed=1

echo "== large files through the main window: keystrokes, a query, memory"
window_out=build/release/window_scale.json
QT_QPA_PLATFORM=offscreen build/release/bench/window_scale --benchmark_out="$window_out" --benchmark_out_format=json
python3 bench/ratios.py "$window_out" || missed=1

echo "== a keystroke through the main window"
QT_QPA_PLATFORM=offscreen build/release/bench/window_keystroke

echo "== tsldemo-check against loading the same files"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
build/release/bench/check_bench "$folder"

echo "== hostile article pages through the viewer's view, against an ordinary one"
QT_QPA_PLATFORM=offscreen build/release/bench/page_bench

echo "== hostile knowledge files through the main window (each in a process of its own)"
QT_QPA_PLATFORM=offscreen build/release/bench/hostile_knowledge

if [ "$missed" -ne 0 ]; then
  echo "== some targets were missed (see above)"
  exit 1
fi
