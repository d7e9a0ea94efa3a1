#!/usr/bin/env bash
# The .glb and .obj files as Blender imports them: the counts arbolith-render says it wrote, of
# every level of detail, and every edge joining exactly two faces, for every preset, a tree of
# random factors, levels of detail and a tree of several primitives.
#   blender-import.sh ARBOLITH-RENDER
set -euo pipefail
render=$1
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

trees=()
while read -r preset _; do
  trees+=("--preset $preset:glb")
done < <("$render" --list-presets)
trees+=("--preset oak:obj" "--preset elm --lod 4:glb obj" "--time 7 --scale 0 --levels 6:glb"
  "--limbs 2 --levels 12 --time 9 --lod 2:glb")
files=()
# Each tree with the formats it is read in: the OBJ importer's counts are checked on two.
for tree in "${trees[@]}"; do
  for extension in ${tree#*:}; do
    name="$work/tree-${#files[@]}.$extension"
    # shellcheck disable=SC2086
    "$render" ${tree%:*} -o "$name" 2>"$name.said"
    files+=("$name")
  done
done
blender -b --factory-startup --python "$here/blender-import.py" -- "${files[@]}" >"$work/out" 2>&1 || {
  cat "$work/out"
  exit 1
}
status=0
for name in "${files[@]}"; do
  said=$(<"$name.said")
  if [[ $said == *"levels of detail"* ]]; then
    objects=()
    for ((level = 0; ; level++)); do
      [[ $said == *"LOD$level "* ]] || break
      objects+=("tree_LOD$level")
    done
  else
    objects=(tree)
  fi
  for ((level = 0; level < ${#objects[@]}; level++)); do
    counts=$(grep -o '[0-9]* vertices, [0-9]* triangles' <<<"$said" | sed -n "$((level + 1))p")
    line=$(grep "^imported $name ${objects[level]}:" "$work/out" || true)
    if [[ $line != "imported $name ${objects[level]}: $counts, 0 non-manifold edges" ]]; then
      echo "$name ${objects[level]}: wrote $counts; Blender: ${line:-nothing}" >&2
      status=1
    fi
  done
  # Nothing more than the meshes written.
  if (($(grep -c "^imported $name " "$work/out") != ${#objects[@]})); then
    echo "$name: Blender found other meshes:" >&2
    grep "^imported $name " "$work/out" >&2
    status=1
  fi
done
exit $status
