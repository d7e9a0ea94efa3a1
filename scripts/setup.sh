#!/usr/bin/env bash
# Installs, from Debian's archive, the packages Arbolith needs to build, run and test that this
# machine does not have yet, then what the tests run from the npm registry, at the versions the
# lock files pin. Idempotent, non-interactive, quiet unless something fails.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config clang-format
  googletest libgtest-dev libbenchmark-dev zlib1g-dev libdeflate-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine wine64
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  qpdf poppler-utils assimp-utils
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream mandoc bash-completion tmux
  python3-pefile
  emscripten chromium
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

# What the tests run with Node.js, each at the version its lock file pins: the glTF validator, and
# what drives the browser edition in the system's Chromium.
npm_install() {
  local folder=$1 package=$2
  version() { node -p "require('./$folder/$1').$2" 2>/dev/null || true; }
  if [[ "$(version "node_modules/$package/package.json" version)" != \
        "$(version package-lock.json "packages['node_modules/$package'].version")" ]]; then
    if ! npm ci --prefix "$folder" --no-audit --no-fund >"$log" 2>&1; then
      cat "$log" >&2
      echo "setup: could not install $package with npm" >&2
      exit 1
    fi
  fi
}
npm_install tests/cli/gltf gltf-validator
npm_install tests/web playwright-core
