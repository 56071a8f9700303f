#!/bin/sh
# Renders the hicolor theme icons from the vector logo. The PNGs are committed so that a build
# never needs rsvg-convert; run this again after every change to logo.svg.
# Usage: art/render-icons.sh            writes art/hicolor/<size>/hu.velmora.Tarquen.png
#        art/render-icons.sh --check    renders into a scratch folder and fails if a committed
#                                       PNG differs (exits 77 when rsvg-convert is missing)
# Needs rsvg-convert (Debian: librsvg2-bin).
set -eu
cd "$(dirname "$0")"
mode=${1:-write}
if ! command -v rsvg-convert >/dev/null; then
  echo "rsvg-convert not found (apt-get install librsvg2-bin)" >&2
  [ "$mode" = --check ] && exit 77
  exit 1
fi

out=hicolor
if [ "$mode" = --check ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi

stale=0
# Keep in step with TARQUEN_ICON_SIZES in packaging/CMakeLists.txt.
for size in 16 24 32 48 64 128 256; do
  png=$size/hu.velmora.Tarquen.png
  mkdir -p "$out/$size"
  # rsvg-convert writes no time stamp, so the same SVG and librsvg give the same bytes.
  rsvg-convert --width "$size" --height "$size" --format png --output "$out/$png" logo.svg
  if [ "$mode" = --check ] && ! cmp -s "$out/$png" "hicolor/$png"; then
    echo "art/hicolor/$png does not match logo.svg: run art/render-icons.sh"
    stale=1
  fi
done
exit "$stale"
