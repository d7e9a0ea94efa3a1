#!/usr/bin/env bash
# The Debian package as Debian's tools and a user meet it: lintian, the desktop entry, the
# metainfo and the manual pages checked by their validators, then the package unpacked into a
# folder of its own (the machine stays as it was) and its programs run from there.
#   check-deb.sh PACKAGE.deb VERSION
set -euo pipefail
deb=$(readlink -f "$1")
version=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
ok() {
  echo "ok: $*"
}

lintian --display-info --fail-on error,warning "$deb" || fail "lintian found errors or warnings"
ok "lintian: no errors, no warnings"

[[ $(dpkg-deb --field "$deb" Version) == "$version" ]] || fail "the package's version is not $version"
depends=$(dpkg-deb --field "$deb" Depends)
[[ $depends == *libqt6gui6* && $depends == *libc6* ]] ||
  fail "the dependencies do not come from the programs' libraries: '$depends'"
ok "version $version; depends on $depends"

root=$work/root
dpkg-deb --extract "$deb" "$root"
# The metainfo's id names the desktop entry and the icons; the id is its home page's address in
# reverse, the package's Homepage.
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[[ -f "${metainfo[0]}" ]] || fail "the package lacks its metainfo"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "${metainfo[0]}")
homepage=$(dpkg-deb --field "$deb" Homepage)
[[ $id == io.github.* && ${metainfo[0]} == */$id.metainfo.xml ]] ||
  fail "the metainfo's id '$id' is not the project's own"
IFS=. read -r _ _ owner name <<<"$id"
[[ ${homepage,,} == "https://github.com/${owner,,}/${name,,}" ]] ||
  fail "the package's Homepage '$homepage' is not the address the id '$id' stands for"
grep -q "<url type=\"homepage\">$homepage</url>" "${metainfo[0]}" ||
  fail "the metainfo does not name the home page $homepage"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "${metainfo[0]}" ||
  fail "the metainfo does not launch $id.desktop"
! grep -rlI '\.example\b' "$root/usr/share" >/dev/null ||
  fail "the package still names a placeholder address: $(grep -rlI '\.example\b' "$root/usr/share")"
[[ $(dpkg-deb --field "$deb" Maintainer) == *@* ]] || fail "the package has no maintainer's address"
desktop=$root/usr/share/applications/$id.desktop
expected=(
  usr/bin/arbolith
  usr/bin/arbolith-render
  "usr/share/applications/$id.desktop"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
  "usr/share/icons/hicolor/16x16/apps/$id.png"
  "usr/share/icons/hicolor/48x48/apps/$id.png"
  "usr/share/icons/hicolor/256x256/apps/$id.png"
  usr/share/man/man1/arbolith.1.gz
  usr/share/man/man1/arbolith-render.1.gz
  usr/share/bash-completion/completions/arbolith-render
  usr/share/doc/arbolith/README.md
  usr/share/doc/arbolith/copyright
  usr/share/doc/arbolith/changelog.gz
  usr/share/arbolith/blender/arbolith_blender.zip
)
for file in "${expected[@]}"; do
  [[ -f "$root/$file" ]] || fail "the package lacks /$file"
done
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
ok "the package holds its ${#expected[@]} expected files and the metainfo, all named $id"

# The Blender add-on, as Blender's preferences read it: a folder holding a module whose bl_info,
# read without running it, names the package's version.
addon_version=$(python3 - "$root/usr/share/arbolith/blender/arbolith_blender.zip" <<'PYTHON'
import ast, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as addon:
    tree = ast.parse(addon.read("arbolith_blender/__init__.py"))
info = next(ast.literal_eval(node.value) for node in tree.body
            if isinstance(node, ast.Assign) and node.targets[0].id == "bl_info")
print(".".join(map(str, info["version"])))
PYTHON
)
[[ $addon_version == "$version" ]] || fail "the Blender add-on's version is $addon_version"
ok "the Blender add-on $addon_version is in the package"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"
appstreamcli validate-tree --no-net "$root" >/dev/null ||
  fail "appstreamcli validate-tree: the metainfo, desktop entry and icons do not fit together"
grep -q "<release version=\"$version\"" "${metainfo[0]}" || fail "the metainfo's release is not $version"
ok "desktop entry and metainfo valid"

for page in arbolith arbolith-render; do
  file=$root/usr/share/man/man1/$page.1.gz
  lint=$(mandoc -T lint -W all "$file" 2>&1) || true
  [[ -z "$lint" ]] || fail "mandoc on $page(1): $lint"
  zcat "$file" | head -1 | grep -q "\"Arbolith $version\"" || fail "$page(1) does not show version $version"
done
# The manual page lists exactly the options that --help lists.
options_in() { grep -oE -- '(^|[ ,])-(-[a-z-]+|[a-zA-Z])' | tr -d ' ,' | sort -u; }
from_help=$("$root/usr/bin/arbolith-render" --help | grep -E '^  -' | options_in)
# In the manual's source, each option's head is the line after .TP in OPTIONS.
from_manual=$(zcat "$root/usr/share/man/man1/arbolith-render.1.gz" |
  awk '/^\.SH/ {on = ($2 == "OPTIONS")} on && head {print} {head = on && /^\.TP/}' |
  sed -e 's/\\f[BIR]//g' -e 's/\\-/-/g' | options_in)
[[ -n "$from_help" && "$from_help" == "$from_manual" ]] ||
  fail "arbolith-render(1) and --help list different options: $(diff <(echo "$from_help") <(echo "$from_manual") || true)"
ok "manual pages clean for mandoc, version $version, the same options as --help"

# The programs, run from the unpacked package.
[[ $("$root/usr/bin/arbolith-render" --version) == "arbolith-render $version" ]] ||
  fail "arbolith-render --version"
"$root/usr/bin/arbolith-render" --time 1000000006 -o "$work/tree.png" 2>/dev/null
[[ $(identify -format '%wx%h' "$work/tree.png") == 560x670 ]] || fail "arbolith-render drew no 560x670 picture"
colours=$(convert "$work/tree.png" -unique-colors -format '%w' info:)
((colours >= 3)) || fail "the picture has $colours colours, no tree"
ok "arbolith-render $version draws a tree"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# With no display at all: --version answers, and the program alone says in one line that it has
# none.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[[ $("${no_display[@]}" "$root/usr/bin/arbolith" --version) == "arbolith $version" ]] ||
  fail "arbolith --version with no display"
status=0
"${no_display[@]}" "$root/usr/bin/arbolith" 2>"$work/no-display.log" || status=$?
((status == 1)) && [[ $(wc -l <"$work/no-display.log") == 1 ]] &&
  grep -q "^arbolith: .*no display" "$work/no-display.log" ||
  fail "arbolith with no display ended with status $status: $(cat "$work/no-display.log")"
ok "arbolith $version answers --version with no display, and says in one line that it has none"

# The desktop program on a display of its own: its dialog appears, and Ctrl+Q ends it with 0.
fifo=$work/display
mkfifo "$fifo"
Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset 8>"$fifo" >/dev/null 2>&1 </dev/null &
xvfb_pid=$!
read -r -t 30 number <"$fifo" || fail "Xvfb did not start"
export DISPLAY=":$number"
QT_QPA_PLATFORM=xcb "$root/usr/bin/arbolith" >"$work/arbolith.log" 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Arbolith generator$' | head -1) ||
  fail "the dialog did not appear: $(cat "$work/arbolith.log")"
deadline=$((SECONDS + 30))
until [[ $(xdotool getwindowfocus 2>/dev/null) == "$window" ]]; do
  ((SECONDS < deadline)) || fail "the dialog never took the keyboard"
  sleep 0.1
done
xdotool key ctrl+q
deadline=$((SECONDS + 30))
while kill -0 "$program" 2>/dev/null; do
  ((SECONDS < deadline)) || fail "arbolith did not end on Ctrl+Q"
  sleep 0.1
done
status=0
wait "$program" || status=$?
((status == 0)) || fail "arbolith ended with status $status: $(cat "$work/arbolith.log")"
ok "arbolith shows its dialog and ends with status 0 on Ctrl+Q"

bash "$here/check-completion.sh" "$root/usr/share/bash-completion/completions/arbolith-render" \
  "$root/usr/bin"
