#!/usr/bin/env bash
# Builds the Debian package from a fresh clone: installs what building and checking it
# need (with apt-get, through sudo when not root), builds the release in its own folder,
# makes the .deb with CPack, runs lintian over it and prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev fakeroot lintian file

# Debian's hardening flags (CMake reads CXXFLAGS and LDFLAGS; CPPFLAGS goes along).
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"

build=build/package
rm -rf "$build/_CPack_Packages" "$build"/*.deb
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_LIBDIR=lib \
  -DTSL_TESTS=OFF -DTSL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls "$PWD/$build"/tsldemo_*.deb)
echo "== lintian"
# Errors fail the script; warnings and notes are printed.
lintian --display-info --fail-on error "$deb"
echo "$deb"
