#!/usr/bin/env bash
# PDF as real readers see it: qpdf finds no error, and poppler renders the page to the PNG's
# picture within one pixel along the edges (where two rasterizers may disagree): every tree
# pixel of either lies within a pixel of a tree pixel of the other. The outermost ring of
# pixels is left out, since a stroke just off the page may touch it in one and not the other.
#   pdf-readers.sh ARBOLITH-RENDER
set -euo pipefail
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

trees=(
  "--time 1000000006"
  "--time 1234567890 --scale 0 --limbs 0 --levels 4"
  "--time 1234 --scale 1e300 --levels 3"
  "--time 77 --max-xy 90 --max-yz 180 --max-xz 7 --scale 0.9 --limbs 3 --levels 6 --reference 100,400,-200"
  "--time 5 --size 300x200 --reference 150,190,400 --vector 90,-170,-900 --levels 5"
  "--time 1000000006 --zoom 4"
  "--time 1700000008 --levels 6 --view 30,10 --size 900x500 --fit"
)

# The tree's pixels (anything not white) black on white.
mask() {
  convert "$1" -fill black +opaque white -threshold 50% "$2"
}

# Pixels black in $1 but white in $2 grown by one pixel, the outermost ring left out.
beyond() {
  convert "$2" -negate -morphology Dilate Square:1 -negate "$work/grown.png"
  convert "$work/grown.png" "$1" -compose Darken -composite -shave 1x1 "$work/both.png"
  convert "$work/grown.png" -shave 1x1 "$work/grown-inside.png"
  compare -metric AE "$work/both.png" "$work/grown-inside.png" null: 2>&1 || true
}

for tree in "${trees[@]}"; do
  # shellcheck disable=SC2086
  "$render" $tree -o "$work/tree.png" 2>/dev/null
  # shellcheck disable=SC2086
  "$render" $tree -o "$work/tree.pdf" 2>/dev/null
  qpdf --check "$work/tree.pdf" >"$work/qpdf.txt" 2>&1 ||
    { echo "FAIL: qpdf finds errors for: $tree"; cat "$work/qpdf.txt"; exit 1; }
  pdftoppm -r 72 -aa no -aaVector no -png -singlefile "$work/tree.pdf" "$work/page"
  mask "$work/tree.png" "$work/png-mask.png"
  mask "$work/page.png" "$work/pdf-mask.png"
  pdf_beyond=$(beyond "$work/pdf-mask.png" "$work/png-mask.png")
  png_beyond=$(beyond "$work/png-mask.png" "$work/pdf-mask.png")
  if [[ $pdf_beyond != 0 || $png_beyond != 0 ]]; then
    echo "FAIL: $tree: $pdf_beyond pixels of the PDF and $png_beyond of the PNG lie beyond a pixel of the other"
    exit 1
  fi
  echo "ok: $tree"
done
