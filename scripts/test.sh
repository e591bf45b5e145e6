#!/usr/bin/env bash
# Everything from a fresh clone: packages, configure, build, and every test - the core,
# the windows, the knowledge-base checker, the sanitizer build and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
echo "== build and test (dev)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
ctest --preset dev -j "$jobs"

echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

echo "== fuzzing smoke (libFuzzer, 20 s)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp data/mem/* "$corpus"/
build/fuzz/fuzz/knowledge_fuzzer -max_total_time=20 -max_len=4096 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
pages=$(mktemp -d)
trap 'rm -rf "$corpus" "$pages"' EXIT
cp data/bio/*.html "$pages"/
build/fuzz/fuzz/page_fuzzer -max_total_time=10 -max_len=1048576 -timeout=2 -rss_limit_mb=2048 -print_final_stats=0 "$pages" 2>&1 | tail -n 2

echo "== all tests passed"
