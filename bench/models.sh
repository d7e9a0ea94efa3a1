#!/usr/bin/env bash
# The 3-D files as users meet them, whole processes and real programs: a tree of 1,048,575
# branches written as .glb against the same tree as .svg (wall and CPU time, in turns, the median
# of the ratios), the bytes a branch, each level of detail's triangles (that tree's and three
# presets'), and how long Blender 3.4
# takes to import trees of about 10^4 and 10^5 branches, with its own glTF importer and with the
# Arbolith add-on.
# Usage: bench/models.sh [build folder, default build/dev] [folder to write in, default a
# temporary one]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
cmake --build "$build" --target arbolith-render arbolith_blender_addon >/dev/null
render=$(realpath "$build/cli/arbolith-render")
zip=$(realpath "$build/integrations/blender/arbolith_blender.zip")
out=${2:-$(mktemp -d)}
[[ -n ${2:-} ]] || trap 'rm -rf "$out"' EXIT
mkdir -p "$out"

# The export benchmark's tree, and the same with fewer levels.
tree() { echo --max-xy 40 --max-yz 20 --max-xz 30 --scale 0.75 --limbs 2 --reference 280,640,0 \
  --vector 0,-150,0 --time 1796000000 --levels "$1"; }

# Prints the wall and CPU seconds of one run of the command.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%s %.3f\n", $1, $2 + $3 }'
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# shellcheck disable=SC2046
big=($(tree 18))
rows=$(for ((turn = 0; turn < 7; turn++)); do
  glb=$(timed "$render" "${big[@]}" -o "$out/big.glb")
  svg=$(timed "$render" "${big[@]}" -o "$out/big.svg")
  echo "$glb $svg"
done)
printf '%-44s %10s %10s %10s\n' "1,048,575 branches, whole process" "glb" "svg" "glb / svg"
for column in wall cpu; do
  index=$([[ $column == wall ]] && echo 1 || echo 2)
  glb=$(awk -v i="$index" '{ print $i }' <<<"$rows" | median)
  svg=$(awk -v i="$((index + 2))" '{ print $i }' <<<"$rows" | median)
  ratio=$(awk -v i="$index" '{ print $i / $(i + 2) }' <<<"$rows" | median)
  printf '%-44s %10s %10s %10s\n' "  $column seconds (median of 7 turns)" "$glb" "$svg" "$ratio"
done
bytes=$(stat -c %s "$out/big.glb")
printf '%-44s %10s\n' "  .glb bytes a branch" "$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1048575 }')"

echo
echo "levels of detail (--lod 6): triangles of each, and against the one before"
for levels in 18 "preset oak" "preset elm" "preset acacia"; do
  if [[ $levels == preset* ]]; then
    args=(--preset "${levels#preset }")
  else
    # shellcheck disable=SC2046
    args=($(tree "$levels"))
  fi
  said=$("$render" "${args[@]}" --lod 6 -o "$out/lod.glb" 2>&1)
  grep -o '[0-9]* triangles' <<<"$said" | awk -v name="$levels" '
    { t[NR] = $1 } END { printf "  %-14s", name
      for (i = 1; i <= NR; i++) printf " %9d%s", t[i], (i > 1 ? sprintf(" (%.2f)", t[i] / t[i - 1]) : "       ")
      printf "\n" }'
done

echo
echo "importing into Blender 3.4 (seconds inside Blender, the median of 3)"
for levels in 12 15; do
  # shellcheck disable=SC2046
  "$render" $(tree "$levels") -o "$out/import-$levels.glb" 2>"$out/import-$levels.said"
done
export BLENDER_USER_CONFIG=$out/blender-config BLENDER_USER_SCRIPTS=$out/blender-scripts
# shellcheck disable=SC2046
blender -b --factory-startup --python-exit-code 1 --python-expr "
import sys, time, statistics
import numpy
numpy.bool = bool
import bpy
bpy.ops.preferences.addon_install(filepath='$zip')
bpy.ops.preferences.addon_enable(module='arbolith_blender')
bpy.context.preferences.addons['arbolith_blender'].preferences.program = '$render'
def timed(action):
    times = []
    for _ in range(3):
        bpy.ops.wm.read_homefile(use_empty=True)
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return statistics.median(times)
for levels in (12, 15):
    path = '$out/import-%d.glb' % levels
    gltf = timed(lambda: bpy.ops.import_scene.gltf(filepath=path))
    addon = timed(lambda: bpy.ops.mesh.arbolith_tree_add(preset='example', levels=levels,
        max_xy=40, max_yz=20, max_xz=30, scale=0.75, limbs=2, reference=(280, 640, 0),
        vector=(0, -150, 0), second=1796000000))
    print('BENCH %d %.2f %.2f' % (2 ** (levels + 2) - 1, gltf, addon))
" 2>&1 | awk '/^BENCH/ {
  printf "  %-8s branches: glTF importer %6.2f s, add-on (arbolith-render and all) %6.2f s\n", $2, $3, $4 }'
