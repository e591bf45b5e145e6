#!/usr/bin/env bash
# Everything from a fresh clone: packages, configure, build, and every test - the core,
# the windows, the knowledge-base checker, the program on a real X server and window
# manager, the sanitizer build and a short run of every fuzzing target. Tests run as an
# unprivileged user, so that unreadable files and folders are really unreadable to them;
# as root, the script makes one ("tsldemo-test") if needed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

# Runs a command as the test user when we are root, otherwise as ourselves.
test_user=tsldemo-test
as_test_user() {
  if [ "$(id -u)" -ne 0 ]; then
    "$@"
  else
    setpriv --reuid="$test_user" --regid="$test_user" --init-groups \
      env HOME=/tmp XDG_RUNTIME_DIR= "$@"
  fi
}
if [ "$(id -u)" -eq 0 ]; then
  id -u "$test_user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$test_user"
  if ! as_test_user test -r CMakeLists.txt -a -x .; then
    echo "The test user cannot read $(pwd): make the folders above it searchable for others." >&2
    exit 1
  fi
fi

# Builds as the caller, then hands the build folder to the test user for ctest's own files.
run_preset() {
  local preset=$1
  cmake --preset "$preset" -DTSL_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  [ "$(id -u)" -ne 0 ] || chown -R "$test_user" "build/$preset"
  as_test_user ctest --preset "$preset" -j "$jobs"
}

echo "== build and test (dev)"
run_preset dev

echo "== formatting and static checks (clang-format, clang-tidy)"
scripts/lint.sh

echo "== desktop (the program under Xvfb and openbox, driven with the mouse and keyboard)"
shots=build/dev/desktop-test
mkdir -p "$shots"
[ "$(id -u)" -ne 0 ] || chown "$test_user" "$shots"
# The driver ends every process it started and bounds each wait; the timeout is the last
# resort, and its TERM still lets the driver clean up.
as_test_user timeout 300 /usr/bin/python3 tests/desktop/desktop_test.py build/dev/tsldemo/tsldemo "$shots"

echo "== build and test (AddressSanitizer + UndefinedBehaviorSanitizer)"
run_preset sanitize

echo "== fuzzing smoke (libFuzzer, a few seconds per target)"
cmake --preset fuzz -DTSL_WERROR=ON >/dev/null
cmake --build --preset fuzz -j "$jobs"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fuzz() {
  local target=$1 seeds=$2 max_len=$3
  shift 3
  mkdir -p "$work/$target"
  cp "$seeds"/* "$work/$target"/
  # Inputs kept for this target beside the sample, such as fixed crashes.
  [ ! -d "fuzz/seeds/$target" ] || cp "fuzz/seeds/$target"/* "$work/$target"/
  echo "-- $target"
  build/fuzz/fuzz/"$target" -max_total_time=8 -max_len="$max_len" -print_final_stats=0 "$@" \
    "$work/$target" 2>&1 | tail -n 1
}
fuzz knowledge_fuzzer data/mem 4096 -timeout=10 -rss_limit_mb=4096
fuzz dialogue_fuzzer data/mem 4096 -timeout=10 -rss_limit_mb=4096
fuzz checker_fuzzer data/mem 4096 -timeout=10 -rss_limit_mb=4096
fuzz page_fuzzer data/bio 1048576 -timeout=2 -rss_limit_mb=4096 -dict=fuzz/page.dict
# The page through Qt's own parser, layout and painting: slow or greedy pages are findings.
fuzz layout_fuzzer data/bio 65536 -timeout=2 -rss_limit_mb=1024 -dict=fuzz/page.dict

echo "== all tests passed"
