#!/usr/bin/env bash
# The .glb files as Blender imports them: the counts arbolith-render says it wrote, and every
# edge joining exactly two faces, for every preset and a tree of random factors.
#   blender-import.sh ARBOLITH-RENDER
set -euo pipefail
render=$1
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

trees=()
while read -r preset _; do
  trees+=("--preset $preset")
done < <("$render" --list-presets)
trees+=("--time 7 --scale 0 --levels 6")
files=()
for tree in "${trees[@]}"; do
  name="$work/tree-${#files[@]}.glb"
  # shellcheck disable=SC2086
  "$render" $tree -o "$name" 2>"$name.said"
  files+=("$name")
done
blender -b --factory-startup --python "$here/blender-import.py" -- "${files[@]}" >"$work/out" 2>&1 || {
  cat "$work/out"
  exit 1
}
status=0
for name in "${files[@]}"; do
  counts=$(grep -o '[0-9]* vertices, [0-9]* triangles' "$name.said")
  line=$(grep "^imported $name:" "$work/out" || true)
  if [[ $line != "imported $name: $counts, 0 non-manifold edges" ]]; then
    echo "wrote $counts; Blender: ${line:-nothing}" >&2
    status=1
  fi
done
exit $status
