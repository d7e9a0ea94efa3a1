#!/usr/bin/env bash
# Builds Arbolith in every configuration and runs all of its tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in dev asan; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
done
