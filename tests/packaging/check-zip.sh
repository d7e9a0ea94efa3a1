#!/usr/bin/env bash
# The Windows zip as a Windows user meets it: unpacked, it holds the program, a README and the
# licences; the program carries its version and icon for Explorer, starts under Wine on a
# display of its own, and ends with status 0 when Windows asks it to close.
#   check-zip.sh PACKAGE.zip VERSION
set -euo pipefail
zip=$(readlink -f "$1")
version=$2
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$zip" .zip)
# Inside the build folder, where the Windows tests keep their Wine prefix.
work=$(dirname "$zip")/zip-check
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
ok() {
  echo "ok: $*"
}

[[ $name == "arbolith-$version-win64" ]] || fail "the zip is named $name"
(cd "$work" && cmake -E tar xf "$zip")
listing=$(cd "$work" && find . -type f | sort)
expected=$(printf './%s/%s\n' "$name" LICENSE.txt "$name" README.txt "$name" THIRD-PARTY-NOTICES.txt \
  "$name" arbolith.exe | sort)
[[ "$listing" == "$expected" ]] || fail "the zip holds"$'\n'"$listing"$'\n'"instead of"$'\n'"$expected"
folder=$work/$name
for text in README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt; do
  if grep -qv $'\r$' "$folder/$text"; then
    fail "$text has lines without Windows line ends"
  fi
done
grep -q "Version $version\." "$folder/README.txt" || fail "README.txt does not name version $version"
ok "the zip unpacks to arbolith.exe, README.txt and the licences, with Windows line ends"
[[ -f $(dirname "$zip")/arbolith_blender.zip ]] || fail "the Blender add-on is not beside the zip"
ok "the Blender add-on is beside the zip"

/usr/bin/python3 "$here/read-version.py" "$folder/arbolith.exe" "$version"
ok "arbolith.exe carries version $version and its icon"

exe=$folder/arbolith.exe
source "$here/../win32/wine-env.sh"
wine_setup "$exe"
"$WINE64" "$exe" </dev/null >"$work/arbolith.log" 2>&1 &
program=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Arbolith generator$' >/dev/null ||
  fail "the dialog did not appear"
# taskkill without /f asks the program's windows to close, as closing them by hand does.
"$WINE64" taskkill /im arbolith.exe >/dev/null 2>&1 </dev/null || fail "taskkill found no arbolith.exe"
deadline=$((SECONDS + 30))
while kill -0 "$program" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "arbolith.exe did not end on the close request"
  sleep 0.1
done
status=0
wait "$program" || status=$?
((status == 0)) || fail "arbolith.exe ended with status $status"
ok "arbolith.exe from the zip shows its dialog under Wine and ends with status 0 when asked to close"
