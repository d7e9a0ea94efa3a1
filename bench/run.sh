#!/usr/bin/env bash
# Runs the benchmarks side by side and prints the ratios that the targets are stated in.
# Usage: bench/run.sh [build folder, default build/dev]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
[[ -d "$build" ]] || { cmake --preset dev >/dev/null; build=build/dev; }
cmake --build "$build" --target arbolith_generation_bench arbolith_painter_bench >/dev/null

csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
"$build/bench/arbolith_generation_bench" --benchmark_min_time=1
"$build/bench/arbolith_painter_bench" --benchmark_min_time=1 --benchmark_format=csv \
  2>/dev/null >"$csv"

# CPU time per benchmark and size, then: whole run / rasterizer alone, literal / repeats once.
awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); split($1, part, "/"); cpu[part[1], part[2]] = $4; size[part[2]] = 1 }
  END {
    printf "\n%-8s %28s %30s\n", "levels", "whole run / rasterizer alone", "literal / repeats once"
    for (s in size) {
      printf "%-8s %28.3f %30.1f\n", s, cpu["BM_WholeRunLiteral", s] / cpu["BM_RasterOnly", s],
        cpu["BM_WholeRunLiteral", s] / cpu["BM_WholeRunRepeatsOnce", s]
    }
  }' "$csv"
