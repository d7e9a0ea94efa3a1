#!/usr/bin/env bash
# Installs, from Debian's archive, the packages Arbolith needs to build, run and test that this
# machine does not have yet. Idempotent, non-interactive, quiet unless something fails.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  googletest libgtest-dev libbenchmark-dev zlib1g-dev libdeflate-dev
  qt6-base-dev qt6-svg-dev libgl-dev
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine wine64
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  qpdf poppler-utils
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream mandoc bash-completion tmux
  python3-pefile
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
export DEBIAN_FRONTEND=noninteractive
if ! { "${sudo[@]}" apt-get update -qq && \
       "${sudo[@]}" apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "setup: could not install: ${missing[*]}" >&2
  exit 1
fi
