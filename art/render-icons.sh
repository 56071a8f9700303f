#!/bin/sh
# Renders the hicolor theme icons from the vector logo. The PNGs are committed so that a build
# never needs rsvg-convert; run this again after every change to logo.svg.
# The app id and the sizes come from CMake, in TARQUEN_APP_ID and TARQUEN_ICON_SIZES, so it runs
# through CMake:
#   cmake --build build --target render_icons   writes art/hicolor/<size>/<app id>.png
#   (CTest) render-icons.sh --check             renders into a scratch folder and fails if a
#                                               committed PNG differs (77 without rsvg-convert)
# Needs rsvg-convert (Debian: librsvg2-bin).
set -eu
app_id=${TARQUEN_APP_ID:?TARQUEN_APP_ID not set: run through CMake (target render_icons)}
sizes=${TARQUEN_ICON_SIZES:?TARQUEN_ICON_SIZES not set: run through CMake (target render_icons)}
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
for size in $sizes; do
  png=$size/$app_id.png
  mkdir -p "$out/$size"
  # rsvg-convert writes no time stamp, so the same SVG and librsvg give the same bytes.
  rsvg-convert --width "$size" --height "$size" --format png --output "$out/$png" logo.svg
  if [ "$mode" = --check ] && ! cmp -s "$out/$png" "hicolor/$png"; then
    echo "art/hicolor/$png does not match logo.svg: run the render_icons target"
    stale=1
  fi
done
exit "$stale"
