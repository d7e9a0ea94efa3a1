#!/usr/bin/env bash
# Remakes resources/picture.bmp (bitmap 102) with the native picture tool.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/helper-win32-native
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DARBOLITH_BUILD_TESTS=OFF \
  -DARBOLITH_BUILD_QT=OFF >/dev/null
cmake --build "$build" --target arbolith_make_picture -j2
"$build/resources/arbolith_make_picture" resources/picture.bmp "$@"
echo "wrote resources/picture.bmp"
