#!/usr/bin/env bash
# Builds the Debian package from a fresh clone: installs what building and checking it
# need (with apt-get, through sudo when not root), builds the release in its own folder,
# makes the .deb with CPack, runs lintian over it and prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev fakeroot lintian file

# Debian's hardening flags, all of them: bind-now besides the default ones (CMake reads
# CXXFLAGS and LDFLAGS; CPPFLAGS, which holds _FORTIFY_SOURCE, goes along).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"

build=build/package
rm -rf "$build/_CPack_Packages" "$build"/*.deb
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_LIBDIR=lib \
  -DCMAKE_STRIP="$PWD/packaging/strip.sh" \
  -DTSL_TESTS=OFF -DTSL_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls "$PWD/$build"/tsldemo_*.deb)
echo "== lintian"
# Errors fail the script; warnings and notes are printed, the pedantic ones too. Those the
# package draws on purpose are overridden in packaging/debian/lintian-overrides, each with
# its reason.
lintian --display-info --pedantic --fail-on error "$deb"
echo "$deb"
