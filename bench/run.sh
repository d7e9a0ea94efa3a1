#!/usr/bin/env bash
# Runs the benchmarks side by side and prints the ratios that the targets are stated in.
# Usage: bench/run.sh [build folder, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
[[ -d "$build" ]] || { cmake --preset dev >/dev/null; build=build/dev; }
cmake --build "$build" --target arbolith_generation_bench arbolith_render_bench \
  arbolith_export_bench arbolith_canvas_bench arbolith-render >/dev/null

csv=$(mktemp)
export_csv=$(mktemp)
trap 'rm -f "$csv" "$export_csv"' EXIT
"$build/bench/arbolith_generation_bench" --benchmark_min_time=1
"$build/bench/arbolith_export_bench" --benchmark_min_time=1 --benchmark_format=csv \
  2>/dev/null >"$export_csv"
QT_QPA_PLATFORM=offscreen "$build/bench/arbolith_canvas_bench" --benchmark_min_time=1
"$build/bench/arbolith_render_bench" --benchmark_min_time=1 --benchmark_format=csv \
  2>/dev/null >"$csv"

# The 3-D exports against their floors: one growth with its solids made, and for OBJ the
# printing of its numbers.
awk -F, '
  /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); column[$i] = i } }
  /^"BM_/ { gsub(/"/, "", $1); cpu[$1] = $4; unit = $5; bytes[$1] = $column["bytes_per_branch"]
            rate[$1] = $column["items_per_second"] / 1e6 }
  END {
    printf "\n%-22s %10s %10s %12s %14s\n", "3-D export", "CPU " unit, "/ floor",
      "bytes/branch", "M branches/s"
    n = split("BM_ExportGlb BM_ExportGlbOnePass BM_ExportGlbLevels BM_ExportGlbFile BM_ExportObj", names, " ")
    for (i = 1; i <= n; i++) {
      floor = names[i] == "BM_ExportObj" ? "BM_ObjNumbersOnly" : "BM_MeshOnly"
      printf "%-22s %10.1f %10.2f %12.1f %14.2f\n", names[i], cpu[names[i]],
        cpu[names[i]] / cpu[floor], bytes[names[i]], rate[names[i]]
    }
    printf "%-22s %10s %10.2f   (against one growth and writing as many bytes)\n", "BM_ExportGlbFile", "",
      cpu["BM_ExportGlbFile"] / (cpu["BM_MeshOnly"] + cpu["BM_FileBytesOnly"])
    n = split("BM_MeshOnly BM_ObjNumbersOnly BM_FileBytesOnly BM_GrowthOnly", names, " ")
    for (i = 1; i <= n; i++) {
      printf "%-22s %10.1f %10s %12s %14.2f\n", names[i], cpu[names[i]], "floor", "", rate[names[i]]
    }
  }' "$export_csv"

# CPU time per benchmark and tree (0: 3 limbs 12 levels literal, 1: 2 limbs 18 levels); wall
# time for writing whole files, as PDF compresses on a second thread.
awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); split($1, part, "/"); cpu[part[1], part[2]] = $4; wall[part[1]] = $3
            unit = $5 }
  END {
    printf "\n%-34s %14s %14s\n", "CPU time, " unit, "3 limbs 12 lv", "2 limbs 18 lv"
    n = split("BM_QPainterOnly BM_RasterizerOnly BM_SpanFloor BM_WholeRun BM_GrowthOnly", names, " ")
    for (i = 1; i <= n; i++) {
      printf "%-34s %14.1f %14.1f\n", names[i], cpu[names[i], 0], cpu[names[i], 1]
    }
    printf "%-34s %14.1f %14.1f\n", "QPainter / rasterizer",
      cpu["BM_QPainterOnly", 0] / cpu["BM_RasterizerOnly", 0],
      cpu["BM_QPainterOnly", 1] / cpu["BM_RasterizerOnly", 1]
    printf "%-34s %14.2f %14.2f\n", "whole run / rasterizer alone",
      cpu["BM_WholeRun", 0] / cpu["BM_RasterizerOnly", 0],
      cpu["BM_WholeRun", 1] / cpu["BM_RasterizerOnly", 1]
    printf "%-34s %14.2f\n", "PNG: Qt 32-bit / our palette", cpu["BM_PngQt", ""] / cpu["BM_PngPalette", ""]
    printf "\n%-34s %14s %14s\n", "writing tree 1 whole, wall " unit, "time", "/ PNG"
    n = split("BM_WritePng BM_WriteSvg BM_WritePdf", formats, " ")
    for (i = 1; i <= n; i++) {
      printf "%-34s %14.1f %14.2f\n", formats[i], wall[formats[i]], wall[formats[i]] / wall["BM_WritePng"]
    }
  }' "$csv"

# The rasterizer against the same pixels written once: repetitions in random turns and the least
# time of each, so that the machine's drift touches both alike.
"$build/bench/arbolith_render_bench" --benchmark_filter='RasterizerOnly|SpanFloor' \
  --benchmark_min_time=0.3 --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
  --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ && $1 !~ /_(mean|median|stddev|cv)"$/ {
    gsub(/"/, "", $1); split($1, name, "/"); key = name[1] SUBSEP name[2]
    if (!(key in cpu) || $4 < cpu[key]) cpu[key] = $4 }
  END {
    printf "\n%-34s %14.2f %14.2f\n", "rasterizer / same pixels written",
      cpu["BM_RasterizerOnly", 0] / cpu["BM_SpanFloor", 0],
      cpu["BM_RasterizerOnly", 1] / cpu["BM_SpanFloor", 1]
  }'

# The whole process: a tree of three branches to PNG against the process starting and printing
# its version, CPU time (user and system) from the shell's count of its children, in turns of 50
# runs each so that a drift in the machine's speed touches both; the median of 9 turns.
render="$build/cli/arbolith-render"
out=$(mktemp -d)
trap 'rm -f "$csv"; rm -rf "$out"' EXIT
children_cpu() { # runs the command 50 times; prints the children's CPU seconds
  (for ((i = 0; i < 50; i++)); do "$@" >/dev/null 2>&1; done; times) |
    awk 'NR == 2 { gsub(/[ms]/, " "); print $1 * 60 + $2 + $3 * 60 + $4 }'
}
small=(--levels 0 --limbs 2 --time 1000000006)
ratios=$(for ((turn = 0; turn < 9; turn++)); do
  start=$(children_cpu "$render" --version)
  stdout=$(children_cpu "$render" "${small[@]}" -o -)
  file=$(children_cpu "$render" "${small[@]}" -o "$out/tree.png")
  awk -v a="$stdout" -v b="$file" -v s="$start" 'BEGIN { printf "%.3f %.3f\n", a / s, b / s }'
done)
median() { sort -n | sed -n 5p; }
printf "\n%-34s %14s %14s\n" "whole process, 3 branches to PNG" "to stdout" "to a file"
printf "%-34s %14s %14s\n" "  CPU / arbolith-render --version" \
  "$(cut -d' ' -f1 <<<"$ratios" | median)" "$(cut -d' ' -f2 <<<"$ratios" | median)"
