#!/usr/bin/env bash
# Checks the project's own C++ sources: their formatting against .clang-format, then the
# checks of .clang-tidy over what the dev build compiles (build/dev/compile_commands.json,
# made by `cmake --preset dev`). Fails on any formatting difference or finding.
#   scripts/lint.sh           both
#   scripts/lint.sh --format  formatting only (no build needed)
# To format a file in place: clang-format -i <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

folders='article|bench|checker|dialogue|fuzz|tests|tsldemo|untrusted_files|windows'

echo "-- clang-format"
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' | grep -E "^($folders)/")
clang-format --dry-run -Werror "${sources[@]}"

[ "${1:-}" = "--format" ] && exit 0

echo "-- clang-tidy"
database=build/dev/compile_commands.json
if [ ! -f "$database" ]; then
  echo "No $database: configure the dev build first (cmake --preset dev)." >&2
  exit 1
fi
# Only the project's sources, not the code that moc and the build generate.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
run-clang-tidy -quiet -p build/dev -j "$(nproc)" "^$(pwd)/($folders)/.*\.cpp$" >"$output" 2>&1 || status=$?
if [ "$status" -ne 0 ] || grep -qE '(warning|error): ' "$output"; then
  grep -E -A3 '(warning|error): ' "$output" | sed 's/\x1b\[[0-9;]*m//g' >&2 || cat "$output" >&2
  echo "clang-tidy found the above." >&2
  exit 1
fi
echo "clang-tidy: no findings"
