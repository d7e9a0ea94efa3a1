#!/usr/bin/env bash
# A full file system: every format fails with exit status 1 and the system's reason in one
# line, the files it was to replace (an OBJ's material library too) stay as they were, and
# nothing else is left behind. The file system is a small tmpfs mounted in a mount namespace of
# the test's own, so nothing outside sees it; where that is not allowed the test is skipped
# (status 77) and says why.
#   disk-full.sh ARBOLITH-RENDER
set -euo pipefail
render=$(readlink -f "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! unshare --mount --propagation private true 2>/dev/null; then
  echo "skipped: no mount namespace may be made here (needs root or user namespaces)"
  exit 77
fi

unshare --mount --propagation private bash -s "$render" "$work" <<'INNER'
set -euo pipefail
render=$1
work=$2
mkdir "$work/small"
if ! mount -t tmpfs -o size=512k tmpfs "$work/small" 2>/dev/null; then
  echo "skipped: no tmpfs may be mounted here"
  exit 77
fi
cd "$work/small"

# Fills the file system but for a few kilobytes: less than any of these trees takes (five limbs a
# fork make even the PNG larger than that), but a page of memory.
fill() {
  rm -f filler
  head -c 600k /dev/zero > filler 2>/dev/null || true
  truncate -s -6k filler
}

# expect_failure WHAT MESSAGE ARGS...: the renderer ends with exit status 1 and MESSAGE in one
# line, the old files stay as they were, and nothing else is left behind.
expect_failure() {
  local what=$1 message=$2 status=0
  shift 2
  "$render" --time 1796000000 "$@" 2>"$work/err" || status=$?
  err=$(cat "$work/err")
  [[ $status -eq 1 ]] || { echo "FAIL: $what: exit status $status: $err"; exit 1; }
  [[ $(wc -l <"$work/err") -eq 1 ]] || { echo "FAIL: $what: not one line: $err"; exit 1; }
  [[ $err == *"$message"* ]] || { echo "FAIL: $what: $err"; exit 1; }
  for old in tree.*; do
    [[ $(cat "$old") == "the old $old" ]] || { echo "FAIL: $what: $old was changed"; exit 1; }
  done
  leftovers=$(ls -A | grep -v -e '^filler$' -e '^tree\.' || true)
  [[ -z $leftovers ]] || { echo "FAIL: $what: left behind: $leftovers"; exit 1; }
  echo "ok: $what: $err"
}

echo "the old tree.mtl" > tree.mtl
for format in png svg pdf obj; do
  echo "the old tree.$format" > "tree.$format"
  fill
  expect_failure "$format on a full disk" "cannot write tree.$format: No space left on device" \
    --levels 9 --limbs 5 -o "tree.$format"
done

# Room for a one-branch OBJ but not for its material library as well: the library fails after
# the OBJ is written, and the old OBJ stays.
fill
expect_failure "an OBJ whose library finds no room" \
  "cannot write tree.mtl: No space left on device" --levels 0 -o tree.obj
INNER
