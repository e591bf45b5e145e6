#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows from a fresh clone, with Debian's MinGW-w64.
# Qt and ICU for Windows are not packaged, so their Debian source packages (and
# GoogleTest's) are fetched with a sources list of our own and built once into
# ~/.cache/tsldemo-windows/<name>-<version>, which later runs reuse. Then the project is
# built with the windows preset, packed into a zip and an installer.
#
#   scripts/windows.sh              the program's folder, the zip and the installer
#   scripts/windows.sh --test       ... and every suite under Wine, the program itself
#                                   under Wine and Xvfb, and the installer
#   scripts/windows.sh --deps-only  only the libraries in the cache
#   --if-cached                     with any of these: do nothing (and say so) unless the
#                                   libraries are in the cache already
#
# The last lines printed are the paths of what it made.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

run_tests=0
deps_only=0
if_cached=0
for arg in "$@"; do
  case $arg in
    --test) run_tests=1 ;;
    --deps-only) deps_only=1 ;;
    --if-cached) if_cached=1 ;;
    *) echo "usage: $0 [--test] [--deps-only] [--if-cached]" >&2; exit 2 ;;
  esac
done

triplet=x86_64-w64-mingw32
cache=${TSL_WINDOWS_CACHE:-$HOME/.cache/tsldemo-windows}
jobs=${TSL_JOBS:-$(nproc)}
# The machine is shared: the long builds yield to everything else.
niced=(nice -n 19)
mkdir -p "$cache"


elapsed() { echo "   ($1: $((SECONDS - $2)) s)"; }

# --- sources --------------------------------------------------------------------------
# Source lists of our own beside the cache, built from the mirrors the system's apt already
# uses; the system's own configuration is only read.
apt_dir=$cache/apt
apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
)
# Updated at most once an hour.
update_sources() {
  [ -z "$(find "$apt_dir/updated" -mmin -60 2>/dev/null)" ] || return 0
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
    sort -u | awk 'NF == 3 { print "deb-src " $1 " " $2 " " $3 }' >"$apt_dir/sources.list"
  if [ ! -s "$apt_dir/sources.list" ]; then
    echo "No apt sources found: run apt-get update first." >&2
    exit 1
  fi
  apt-get "${apt_opts[@]}" update -qq
  touch "$apt_dir/updated"
}

# The newest version of a source package the archive offers; with no network, the one
# already in the cache.
source_version() {
  local package=$1 version=""
  if update_sources 2>/dev/null; then
    version=$(apt-cache "${apt_opts[@]}" showsrc "$package" 2>/dev/null |
      awk '/^Version:/ { print $2 }' | sort -V | tail -n 1)
  fi
  if [ -z "$version" ]; then
    version=$(find "$cache" -maxdepth 2 -name .complete -path "*/$package-*" 2>/dev/null |
      sed "s|.*/$package-||; s|/.complete||" | sort -V | tail -n 1)
  fi
  [ -n "$version" ] || { echo "Cannot find the source package $package." >&2; exit 1; }
  echo "$version"
}

# Unpacks the source package (with Debian's patches) into $cache/src/<name>-<version>.
fetch_source() {
  local package=$1 version=$2 dir=$cache/src/$1-$2
  [ -f "$dir/.unpacked" ] && return 0
  update_sources
  rm -rf "$dir" "$dir.download"
  # Every archive that lists the version is tried in turn: a mirror may list a package in
  # its index and still not serve its files.
  local line fetched=0
  while read -r line; do
    rm -rf "$dir.download"
    mkdir -p "$dir.download"
    echo "$line" >"$apt_dir/one.list"
    if (cd "$dir.download" && apt-get "${apt_opts[@]}" -o "Dir::Etc::SourceList=$apt_dir/one.list" \
      source --download-only -qq "$package=$version" >/dev/null 2>&1); then
      fetched=1
      break
    fi
  done <"$apt_dir/sources.list"
  [ $fetched -eq 1 ] || { echo "Cannot download the source package $package $version." >&2; exit 1; }
  dpkg-source --no-check --no-copy -x "$dir.download"/*.dsc "$dir" >/dev/null
  rm -rf "$dir.download"
  touch "$dir/.unpacked"
}

# --- ICU ------------------------------------------------------------------------------
# A cross-build of ICU needs its tools built for this machine first; they make the data.
build_icu() {
  local version=$1 src=$cache/src/icu-$1 prefix=$cache/icu-$1 start=$SECONDS
  [ -f "$prefix/.complete" ] && return 0
  fetch_source icu "$version"
  echo "== ICU $version for Windows (first time only)"
  local host=$cache/build/icu-$version-host cross=$cache/build/icu-$version
  local options=(--disable-tests --disable-samples --disable-extras --disable-layoutex)
  rm -rf "$host" "$cross" "$prefix"
  mkdir -p "$host" "$cross"
  (cd "$host" && "${niced[@]}" "$src/source/configure" "${options[@]}" >configure.log &&
    "${niced[@]}" make -j "$jobs" >make.log 2>&1)
  (cd "$cross" &&
    "${niced[@]}" "$src/source/configure" --host=$triplet --with-cross-build="$host" \
      --prefix="$prefix" "${options[@]}" --disable-tools \
      CC=$triplet-gcc-posix CXX=$triplet-g++-posix >configure.log &&
    "${niced[@]}" make -j "$jobs" >make.log 2>&1 && make install >install.log 2>&1)
  touch "$prefix/.complete"
  elapsed ICU $start
}

# --- Qt -------------------------------------------------------------------------------
# qtbase with Debian's own Qt tools (moc, rcc, uic) for this machine, and the third-party
# libraries it bundles. Tablets stay off: the source package leaves out wintab.h. Direct2D
# and OpenGL stay on: without either, the windows platform plugin of 6.4.2 does not build.
build_qt() {
  local version=$1 src=$cache/src/qt6-base-$1 prefix=$cache/qt6-base-$1 start=$SECONDS
  [ -f "$prefix/.complete" ] && return 0
  fetch_source qt6-base "$version"
  echo "== qtbase $version for Windows (first time only, the longest step)"
  local build=$cache/build/qt6-base-$version
  # A build that was stopped goes on where it stopped; configuring again is quick then,
  # and takes in any option changed since.
  [ -f "$build/CMakeCache.txt" ] || rm -rf "$build" "$prefix"
  configure_qt "$src" "$build" "$prefix"
  local log=$cache/build/qt6-base-$version.build.log
  "${niced[@]}" cmake --build "$build" -j "$jobs" >>"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
  cmake --install "$build" >/dev/null
  touch "$prefix/.complete"
  elapsed qtbase $start
}

configure_qt() {
  local src=$1 build=$2 prefix=$3
  "${niced[@]}" cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_opengl=ON \
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_testlib=ON \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=ON \
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    >"$build.configure.log" 2>&1 || { tail -n 40 "$build.configure.log"; exit 1; }
}

# --- GoogleTest -----------------------------------------------------------------------
build_googletest() {
  local version=$1 src=$cache/src/googletest-$1 prefix=$cache/googletest-$1 start=$SECONDS
  [ -f "$prefix/.complete" ] && return 0
  fetch_source googletest "$version"
  echo "== GoogleTest $version for Windows (first time only)"
  local build=$cache/build/googletest-$version
  rm -rf "$build" "$prefix"
  "${niced[@]}" cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/windows-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -Dgtest_force_shared_crt=ON >/dev/null
  "${niced[@]}" cmake --build "$build" -j "$jobs" >/dev/null
  cmake --install "$build" >/dev/null
  touch "$prefix/.complete"
  elapsed GoogleTest $start
}

icu_version=$(source_version icu)
qt_version=$(source_version qt6-base)
googletest_version=$(source_version googletest)
if [ $if_cached -eq 1 ]; then
  for part in icu-$icu_version qt6-base-$qt_version googletest-$googletest_version; do
    if [ ! -f "$cache/$part/.complete" ]; then
      echo "The Windows build is skipped: $part is not in $cache yet (scripts/windows.sh builds it once)."
      exit 0
    fi
  done
fi
scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 nsis dpkg-dev xvfb xauth xdotool \
  openbox imagemagick python3
build_icu "$icu_version"
build_googletest "$googletest_version"
build_qt "$qt_version"
prefixes="$cache/icu-$icu_version;$cache/qt6-base-$qt_version;$cache/googletest-$googletest_version"

if [ $deps_only -eq 1 ]; then
  echo "$cache/icu-$icu_version"
  echo "$cache/qt6-base-$qt_version"
  echo "$cache/googletest-$googletest_version"
  exit 0
fi

# --- the project ----------------------------------------------------------------------
start=$SECONDS
echo "== the project for Windows"
mkdir -p build
# Qt built for another system runs Debian's own moc, rcc and uic.
cmake --preset windows -DTSL_WINDOWS_PREFIXES="$prefixes" -DTSL_WERROR=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
  >"$root/build/windows-configure.log" || { cat "$root/build/windows-configure.log"; exit 1; }
"${niced[@]}" cmake --build --preset windows -j "$jobs"
elapsed project $start

build=$root/build/windows
# The program's folder, as the zip and the installer hold it; not build/windows/tsldemo,
# which is the program's own build folder.
package_dir=$build/package
stage=$package_dir/tsldemo
rm -rf "$package_dir"
cmake --install "$build" --prefix "$stage" >/dev/null

# The DLLs the executables and plugins load, found in the libraries' folders and MinGW's
# runtime, each copied once; Windows' own DLLs are found nowhere here and stay out.
dll_dirs=(
  "$cache/qt6-base-$qt_version/bin" "$cache/icu-$icu_version/bin" "$cache/icu-$icu_version/lib"
  "$(dirname "$($triplet-g++-posix -print-libgcc-file-name)")" "/usr/$triplet/lib"
)
copy_dlls() {
  local file=$1 dll dir
  for dll in $($triplet-objdump -p "$file" | awk '/DLL Name:/ { print $3 }'); do
    [ -e "$stage/$dll" ] && continue
    for dir in "${dll_dirs[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/$dll"
        copy_dlls "$stage/$dll"
        break
      fi
    done
  done
}
qt_plugins=$cache/qt6-base-$qt_version/plugins
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats" "$stage/translations"
cp "$qt_plugins/platforms/qwindows.dll" "$stage/platforms/"
# The native look, and the pictures an article may hold beyond PNG (JPEG, GIF, ICO).
cp "$qt_plugins"/styles/*.dll "$stage/styles/"
cp "$qt_plugins"/imageformats/*.dll "$stage/imageformats/"
for file in "$stage"/*.exe "$stage"/*/*.dll; do
  if [ -e "$file" ]; then copy_dlls "$file"; fi
done
# Qt's own texts in Russian; the translation files are the same on every system.
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/translations/"
cp packaging/windows/qt.conf "$stage/"
$triplet-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

version=$(sed -n 's/^project(tsldemo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=$build/tsldemo-$version-windows-x64.zip
rm -f "$zip"
# Names in UTF-8 and marked so (Info-ZIP's zip does not set the mark), which Windows then
# shows as they are.
python3 - "$zip" "$package_dir" tsldemo <<'PYTHON'
import os, sys, zipfile
out, base, top = sys.argv[1:]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for folder, folders, files in os.walk(os.path.join(base, top)):
        folders.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            archive.write(path, os.path.relpath(path, base))
PYTHON

# The installer removes on uninstall exactly the files it installed.
installer=$build/tsldemo-$version-windows-x64.exe
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort |
  awk '{ print "  Delete \"$INSTDIR\\" $0 "\"" }'
 cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r |
  awk '{ print "  RMDir \"$INSTDIR\\" $0 "\"" }') >"$build/installed_files.nsh"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
  -DFILE_LIST="$build/installed_files.nsh" -DOUTFILE="$installer" \
  -DICON="$root/packaging/windows/tsldemo.ico" packaging/windows/installer.nsi

# --- tests under Wine -----------------------------------------------------------------
if [ $run_tests -eq 1 ]; then
  start=$SECONDS
  echo "== tests under Wine"
  # A Wine prefix of our own; Wine passes no variable whose name begins with QT_, so the
  # platform is given on the command line.
  export WINEPREFIX=$cache/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # The test executables find the DLLs where they were built.
  WINEPATH="$(printf '%s;' "${dll_dirs[@]}" | sed 's|/|\\|g; s#\(^\|;\)\\#\1Z:\\#g')"
  export WINEPATH
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  # Qt's Russian texts where the test programs' Qt looks for them.
  mkdir -p "$cache/qt6-base-$qt_version/translations"
  cp /usr/share/qt6/translations/qtbase_ru.qm "$cache/qt6-base-$qt_version/translations/"
  failed=()
  run_suite() {
    local name=$1 suite_start=$SECONDS
    shift
    echo "-- $name"
    if ! (cd "$build/tests" && timeout 900 wine "./$name.exe" "$@" 2>&1 | tr -d '\r'); then
      failed+=("$name")
    fi
    elapsed "$name" "$suite_start"
  }
  # Qt Test writes its log to a file and Wine's console stays quiet.
  run_qt_suite() {
    local name=$1 log=$build/tests/$1.log suite_start=$SECONDS
    rm -f "$log"
    echo "-- $name"
    (cd "$build/tests" && timeout 900 wine "./$name.exe" -platform offscreen -o "$name.log,txt") \
      >/dev/null 2>&1 || failed+=("$name")
    if [ -f "$log" ]; then grep -v '^PASS \|^QDEBUG\|^QINFO' "$log" | tr -d '\r'; else echo "no log"; fi
    elapsed "$name" "$suite_start"
  }
  # A silent install for this user, then a silent uninstall, which must leave nothing: the
  # uninstaller copies itself away and finishes after it returns, so its end is waited for.
  check_installer() {
    echo "-- installer"
    local programs folder menu
    programs=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%\Programs' | tr -d '\r')")
    folder="$programs/Целитор"
    menu=$(winepath -u "$(wine cmd /c 'echo %APPDATA%\Microsoft\Windows\Start Menu\Programs' | tr -d '\r')")
    if ! wine "$installer" /S || [ ! -f "$folder/tsldemo.exe" ] || [ ! -f "$menu/Целитор.lnk" ] ||
      [ "$(cd "$folder" && find . | sort)" != "$( (cd "$stage" && find .; echo ./uninstall.exe) | sort)" ]; then
      echo "the installer did not install the program's folder and its shortcut" >&2
      failed+=(installer)
      return
    fi
    wine "$folder/uninstall.exe" /S
    local waited=0
    while { [ -e "$folder" ] || [ -e "$menu/Целитор.lnk" ]; } && [ $waited -lt 120 ]; do
      sleep 0.5
      waited=$((waited + 1))
    done
    if [ -e "$folder" ] || [ -e "$menu/Целитор.lnk" ]; then
      echo "the uninstaller left files behind" >&2
      failed+=(uninstaller)
    else
      echo "installed and uninstalled silently"
    fi
  }
  run_suite core_tests --gtest_brief=1
  run_suite untrusted_file_tests --gtest_brief=1
  run_suite checker_tests --gtest_brief=1
  for suite in test_article test_unit1 test_htview test_mesager test_qt_translations test_desktop_files; do
    run_qt_suite "$suite"
  done
  # The program itself, asked the sample question by real keystrokes.
  echo "-- the program under Wine and Xvfb"
  shots=$build/wine-desktop
  mkdir -p "$shots"
  timeout 600 /usr/bin/python3 tests/desktop/wine_smoke.py "$stage/tsldemo.exe" "$shots" ||
    failed+=(program)
  check_installer
  elapsed "tests under Wine" $start
  if [ ${#failed[@]} -ne 0 ]; then
    echo "Failed under Wine: ${failed[*]}" >&2
    exit 1
  fi
  echo "Every suite passed under Wine."
fi

echo "== made: the folder $(du -sh "$stage" | cut -f1), the zip $(du -h "$zip" | cut -f1), the installer $(du -h "$installer" | cut -f1)"
echo "$stage"
echo "$zip"
echo "$installer"
