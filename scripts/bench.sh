#!/usr/bin/env bash
# Builds the release benchmarks, runs them once and prints the ratios that matter, each
# measured within the same run. Extra arguments go to the benchmark program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target knowledge_bench
out=build/release/knowledge_bench.json
build/release/bench/knowledge_bench --benchmark_out="$out" --benchmark_out_format=json "$@"
python3 bench/ratios.py "$out"
