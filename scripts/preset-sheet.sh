#!/usr/bin/env bash
# Draws every preset with arbolith-render and lays the pictures side by side, each under its
# name, into docs/presets.png, the README's contact sheet. ImageMagick composes it.
#   preset-sheet.sh [BUILD-FOLDER]   (default build/dev, built first if needed)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
[[ -x $build/cli/arbolith-render ]] || cmake --build "$build" --target arbolith-render
render=$build/cli/arbolith-render
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pictures=()
while read -r name _; do
  "$render" --preset "$name" -o "$work/$name.png" 2>/dev/null
  pictures+=(-label "$name" "$work/$name.png")
done < <("$render" --list-presets)

# Half size keeps the sheet small; the renderer's pictures are 560 x 670.
montage -font DejaVu-Sans -pointsize 16 -geometry 280x335+8+8 -tile 3x \
  "${pictures[@]}" "$work/sheet.png"
convert "$work/sheet.png" -strip -depth 8 PNG8:docs/presets.png
echo "wrote docs/presets.png"
