#!/usr/bin/env bash
# A full file system: every format fails with exit status 1 and the system's reason in one
# line, the file it was to replace stays as it was, and nothing else is left behind. The file
# system is a small tmpfs mounted in a mount namespace of the test's own, so nothing outside
# sees it; where that is not allowed the test is skipped (status 77) and says why.
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
for format in png svg pdf; do
  echo "the old picture" > "tree.$format"
  # Fill the file system but for a few kilobytes: less than any of these trees takes (five limbs
  # a fork make even the PNG larger than that).
  rm -f filler
  head -c 600k /dev/zero > filler 2>/dev/null || true
  rm -f filler.part
  truncate -s -6k filler
  status=0
  "$render" --time 1796000000 --levels 9 --limbs 5 -o "tree.$format" 2>"$work/err" || status=$?
  err=$(cat "$work/err")
  [[ $status -eq 1 ]] || { echo "FAIL: $format: exit status $status: $err"; exit 1; }
  [[ $(wc -l <"$work/err") -eq 1 ]] || { echo "FAIL: $format: not one line: $err"; exit 1; }
  [[ $err == *"cannot write tree.$format: No space left on device"* ]] ||
    { echo "FAIL: $format: $err"; exit 1; }
  [[ $(cat "tree.$format") == "the old picture" ]] ||
    { echo "FAIL: $format: the old file was changed"; exit 1; }
  leftovers=$(ls -A | grep -v -e '^filler$' -e "^tree\.\(png\|svg\|pdf\)$" || true)
  [[ -z $leftovers ]] || { echo "FAIL: $format: left behind: $leftovers"; exit 1; }
  echo "ok: $format on a full disk: $err"
done
INNER
