#!/usr/bin/env bash
# Renders the desktop icon's PNG sizes from its SVG, with a transparent background. The
# PNGs are kept in the repository: run this after changing the SVG and commit the result.
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get install -y -qq --no-install-recommends librsvg2-bin >/dev/null
fi
id=org.celitor.tsldemo
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$size"
  rsvg-convert --width "$size" --height "$size" --background-color none "$id.svg" -o "$size/$id.png"
done
# The Windows icon holds every size in one file.
convert $(for size in 16 24 32 48 64 128 256; do echo "$size/$id.png"; done) ../windows/tsldemo.ico
