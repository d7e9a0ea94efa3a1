#!/usr/bin/env bash
# The Blender add-on as a user meets it: installed from its zip in Blender's preferences, then
# Add > Mesh > Arbolith tree run with arbolith-render (addon-test.py).
#   addon-test.sh ARBOLITH-RENDER ADDON-ZIP
set -euo pipefail
render=$(realpath "$1")
zip=$(realpath "$2")
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A Blender configuration of the test's own, so that the user's is left as it was.
export BLENDER_USER_CONFIG=$work/config BLENDER_USER_SCRIPTS=$work/scripts
blender -b --factory-startup --python-exit-code 1 --python "$here/addon-test.py" -- \
  "$render" "$zip" "$work" >"$work/out" 2>&1 || {
  cat "$work/out"
  exit 1
}
grep "^ok " "$work/out"
