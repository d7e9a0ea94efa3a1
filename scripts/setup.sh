#!/usr/bin/env bash
# Installs, from Debian's archive, the packages Arbolith needs that this machine does not have
# yet. Idempotent, non-interactive, quiet unless something fails.
#   setup.sh run    what building (the dev preset) and running the programs need
#   setup.sh test   that, and what the tests need: the Windows cross compilers and Wine, the
#                   package and file checkers, a private X server with a window manager,
#                   emscripten and Chromium for the browser edition, and from the npm registry,
#                   at the versions the lock files pin, the glTF validator and the driver of the
#                   browser
#   setup.sh        the same as "setup.sh test"
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-test}
run_packages=(
  cmake ninja-build g++ pkg-config
  libdeflate-dev qt6-base-dev qt6-svg-dev libgl-dev librsvg2-bin fonts-dejavu-core
  # The dev preset configures the tests and benchmarks too.
  googletest libgtest-dev libbenchmark-dev
)
test_packages=(
  clang-format
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine wine64
  xvfb xauth xdotool x11-utils imagemagick openbox
  qpdf poppler-utils assimp-utils blender
  dpkg-dev file lintian desktop-file-utils appstream mandoc bash-completion tmux
  python3-pefile
  emscripten chromium
)
case $what in
  run) packages=("${run_packages[@]}") ;;
  test)
    packages=("${run_packages[@]}" "${test_packages[@]}")
    # A machine may carry a Node.js of its own, which Debian's package would conflict with.
    command -v node >/dev/null || packages+=(nodejs npm)
    ;;
  *)
    echo "usage: setup.sh [run|test]" >&2
    exit 2
    ;;
esac

# Installed, or unpacked and configured with only its triggers still to run (they run at the end
# of whichever install holds the lock); a package on hold counts too.
installed() {
  local status
  status=$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) || return 1
  [[ $status =~ ^(install|hold)\ ok\ (installed|triggers-pending|triggers-awaited)$ ]]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Another install may hold the package manager's locks. apt-get waits for dpkg's lock itself
# (DPkg::Lock::Timeout), but not for the package lists' and the archive's, which fail at once:
# those are waited for here, as long.
lock_wait=900
apt_get() {
  local sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  local deadline=$((SECONDS + lock_wait))
  until "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive LC_ALL=C \
      apt-get -o DPkg::Lock::Timeout="$lock_wait" "$@" >>"$log" 2>&1; do
    grep -q "Could not get lock" "$log" && ((SECONDS < deadline)) || return 1
    : >"$log"
    sleep 5
  done
}

if [[ ${#missing[@]} -gt 0 ]]; then
  if ! { apt_get update -qq && apt_get install -y -qq "${missing[@]}"; }; then
    cat "$log" >&2
    echo "setup: could not install: ${missing[*]}" >&2
    exit 1
  fi
fi

[[ $what == test ]] || exit 0
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
