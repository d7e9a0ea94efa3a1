#!/usr/bin/env bash
# Installs, from Debian's archive, the packages Arbolith needs to build, run and test that this
# machine does not have yet, then the glTF validator the tests run, from the npm registry, at the
# version the lock file pins. Idempotent, non-interactive, quiet unless something fails.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config clang-format
  googletest libgtest-dev libbenchmark-dev libdeflate-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine wine64
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  qpdf poppler-utils assimp-utils
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream mandoc bash-completion tmux
  python3-pefile
)
# A machine may carry a Node.js of its own, which Debian's package would conflict with.
command -v node >/dev/null || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [[ ${#missing[@]} -gt 0 ]]; then
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  if ! { "${sudo[@]}" apt-get update -qq && \
         "${sudo[@]}" apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "setup: could not install: ${missing[*]}" >&2
    exit 1
  fi
fi

validator=tests/cli/gltf
version() { node -p "require('./$validator/$1').$2" 2>/dev/null || true; }
if [[ "$(version node_modules/gltf-validator/package.json version)" != \
      "$(version package-lock.json "packages['node_modules/gltf-validator'].version")" ]]; then
  if ! npm ci --prefix "$validator" --no-audit --no-fund >"$log" 2>&1; then
    cat "$log" >&2
    echo "setup: could not install the glTF validator with npm" >&2
    exit 1
  fi
fi
