#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need, when missing,
# and any further packages named as arguments (e.g. those that packaging needs).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  clang libclang-rt-14-dev clang-format clang-tidy
  python3 time
  libxcb1-dev
  xvfb xauth xdotool imagemagick openbox x11-utils poppler-utils x11-xkb-utils
  dbus-daemon at-spi2-core python3-pyatspi
  fonts-liberation fonts-wine fonts-dejavu-core
  desktop-file-utils appstream
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
