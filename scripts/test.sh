#!/usr/bin/env bash
# Builds Arbolith in every configuration and runs all of its tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# dev: everything; asan: the address and undefined-behaviour sanitizers; tsan: the thread
# sanitizer on trees drawn at once on many threads.
for preset in dev asan tsan; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
done

# The packages' version is the build's: project(... VERSION ...) in CMakeLists.txt.
version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$1/CMakeCache.txt"
}

echo "== dev: the Debian package"
cmake --build --preset dev --target package
bash tests/packaging/check-deb.sh "build/dev/arbolith_$(version dev)_amd64.deb" "$(version dev)"

# The 32-bit build only proves the code is 32-bit clean; its programs cannot run here.
if command -v i686-w64-mingw32-g++ >/dev/null; then
  echo "== mingw32: build"
  cmake --preset mingw32 >/dev/null
  cmake --build --preset mingw32
else
  echo "== mingw32: skipped, i686-w64-mingw32-g++ is not installed"
fi

# The Windows program: cross-built with MinGW-w64, its tests run under Wine on a private display.
echo "== mingw64: build"
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64
echo "== mingw64: the zip"
cmake --build --preset mingw64 --target package
bash tests/packaging/check-zip.sh "build/mingw64/arbolith-$(version mingw64)-win64.zip" \
  "$(version mingw64)"
echo "== mingw64: test (under Wine)"
ctest --preset mingw64

# The browser edition: compiled with emscripten, its page driven in Chromium against the dev
# build's arbolith-render.
echo "== web: build"
cmake --preset web >/dev/null
cmake --build --preset web
echo "== web: test (in Chromium)"
ctest --preset web
