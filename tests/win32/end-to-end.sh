#!/usr/bin/env bash
# The Windows program as a user meets it, under Wine on a private X display: type the twelve
# values (Tab staying in its field), press "Generate new tree", compare the canvas with an
# independent rendering of the same tree in memory and with arbolith-render's picture of it,
# cover and uncover the canvas, then end once with "Exit" and once with a close request after a
# burst of presses, each with exit status 0.
#   end-to-end.sh ARBOLITH.exe HELPER.exe ARBOLITH-RENDER WORK-FOLDER [SCREENSHOT.png]
set -euo pipefail
app=$1
helper=$2
renderer=$3
work=$4
screenshot=${5:-}
[[ -x "$renderer" ]] || {
  echo "FAIL: no arbolith-render at $renderer: build the dev preset first" >&2
  exit 1
}
source "$(dirname "$0")/wine-env.sh"
rm -rf "$work"
mkdir -p "$work"
wine_setup "$app"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The values in the order the dialog reads its fields: XY, XZ, YZ angles, scale, limbs,
# reference point, first vector, levels.
typed=(35 20 25 0.72 2 280 560 -100 0 -140 20 7)
# The same values in the record's order, for the reference rendering, and as options.
tree=(35 25 20 0.72 2 280 560 -100 0 -140 20 7)
options=(--max-xy 35 --max-xz 20 --max-yz 25 --scale 0.72 --limbs 2 --reference 280,560,-100
         --vector 0,-140,20 --levels 7)

helper_run() {
  "$WINE64" "$helper" "$@" </dev/null
}

app_pid=""
start_app() {
  "$WINE64" "$app" </dev/null &
  app_pid=$!
  local deadline=$((SECONDS + 60))
  until helper_run locate >"$work/where.txt" 2>/dev/null; do
    kill -0 "$app_pid" 2>/dev/null || fail "arbolith.exe ended before showing its dialog"
    ((SECONDS < deadline)) || fail "the dialog with its canvas did not appear"
    sleep 0.2
  done
  read -r _ canvas_x canvas_y canvas_w canvas_h < <(grep '^canvas ' "$work/where.txt")
  mapfile -t fields < <(awk '$1 == "field" {print $3, $4}' "$work/where.txt")
  read -r generate_x generate_y < <(awk '$1 == "button" && $2 == 1012 {print $3, $4}' "$work/where.txt")
  read -r exit_x exit_y < <(awk '$1 == "button" && $2 == 1013 {print $3, $4}' "$work/where.txt")
  [[ ${#fields[@]} -eq 12 ]] || fail "expected 12 fields, located ${#fields[@]}"
}

# Waits for the program to end by itself and checks its exit status.
expect_exit_zero() {
  local deadline=$((SECONDS + 30))
  while kill -0 "$app_pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "arbolith.exe did not end after $1"
    sleep 0.1
  done
  local status=0
  wait "$app_pid" || status=$?
  [[ $status -eq 0 ]] || fail "exit status $status after $1"
  echo "ok: $1 ends the program with status 0"
}

capture_canvas() {
  import -window root -crop "${canvas_w}x${canvas_h}+${canvas_x}+${canvas_y}" +repage "$1"
}

# Compares the visible part of the canvas; the reference covers the whole client area.
differing_pixels() {
  convert "$1" -crop "${canvas_w}x${canvas_h}+0+0" +repage "$work/reference-visible.png"
  compare -metric AE "$work/reference-visible.png" "$2" null: 2>&1 || true
}

# The share of the canvas in one colour, from 0 to 1.
share_of_colour() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean]' info:
}

reference_for() {
  local file="$work/reference-$1.bmp"
  [[ -f "$file" ]] || helper_run render "$1" "${tree[@]}" "$(winpath "$file")" ||
    fail "the reference rendering failed"
  echo "$file"
}

winpath() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}

# Polls the canvas until it shows the tree of one of the seconds from $1 on; prints the second.
wait_for_tree() {
  local first=$1 deadline=$((SECONDS + 40)) second
  while ((SECONDS < deadline)); do
    capture_canvas "$work/canvas.png"
    for ((second = first; second <= $(date +%s); second++)); do
      if [[ $(differing_pixels "$(reference_for "$second")" "$work/canvas.png") == 0 ]]; then
        echo "$second"
        return 0
      fi
    done
    sleep 0.3
  done
  return 1
}

# --- typing and drawing
start_app
for i in "${!typed[@]}"; do
  read -r x y <<<"${fields[$i]}"
  xdotool mousemove "$x" "$y" click 1
  if ((i == 0)); then
    # Tab does not move on to the next field: "3", Tab, "5" makes 35 in this one.
    xdotool type --delay 30 -- "${typed[$i]:0:1}"
    xdotool key Tab
    xdotool type --delay 30 -- "${typed[$i]:1}"
  else
    xdotool type --delay 30 -- "${typed[$i]}"
  fi
done
first_second=$(date +%s)
xdotool mousemove "$generate_x" "$generate_y" click 1
second=$(wait_for_tree "$first_second") || {
  cp "$work/canvas.png" "$work/canvas-mismatch.png"
  fail "the canvas never matched the reference rendering (see $work/canvas-mismatch.png)"
}
reference=$(reference_for "$second")
echo "ok: the canvas matches the reference rendering of second $second pixel for pixel"

# arbolith-render on Linux draws the very same pixels for that second.
read -r client_w client_h < <(identify -format '%w %h\n' "$reference")
"$renderer" "${options[@]}" --time "$second" --size "${client_w}x${client_h}" \
  -o "$work/rendered.png" 2>/dev/null || fail "arbolith-render could not draw the tree"
rendered_differ=$(differing_pixels "$work/rendered.png" "$work/canvas.png")
[[ $rendered_differ == 0 ]] ||
  fail "the canvas differs from arbolith-render's picture in $rendered_differ pixels"
echo "ok: the canvas matches arbolith-render's picture of second $second pixel for pixel"

# The comparison means something: the tree is there, and another second grows another tree.
brown=$(share_of_colour "$reference" '#8D6914')
awk -v b="$brown" 'BEGIN { exit !(b > 0.0005) }' || fail "the reference shows almost no tree ($brown)"
other=$(reference_for $((second + 1000)))
[[ $(differing_pixels "$reference" "$other") != 0 ]] || fail "two seconds drew the same tree"

if [[ -n "$screenshot" ]]; then
  read -r _ x y w h < <(grep '^dialog ' "$work/where.txt")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$screenshot"
fi

# --- covering and uncovering
flag="$work/uncover"
helper_run cover "$canvas_x" "$canvas_y" "$canvas_w" "$canvas_h" "$(winpath "$work")\\uncover" &
cover_pid=$!
deadline=$((SECONDS + 30))
until capture_canvas "$work/covered.png" &&
  awk -v m="$(share_of_colour "$work/covered.png" '#FF00FF')" 'BEGIN { exit !(m > 0.99) }'; do
  ((SECONDS < deadline)) || fail "the cover never hid the canvas"
  sleep 0.2
done
touch "$flag"
wait "$cover_pid" || fail "the cover window failed"
deadline=$((SECONDS + 20))
until capture_canvas "$work/uncovered.png" &&
  [[ $(differing_pixels "$reference" "$work/uncovered.png") == 0 ]]; do
  ((SECONDS < deadline)) || fail "the tree was lost after the canvas was covered (see $work/uncovered.png)"
  sleep 0.2
done
echo "ok: the tree is whole again after the canvas was covered and uncovered"

# --- ending
xdotool mousemove "$exit_x" "$exit_y" click 1
expect_exit_zero '"Exit"'

# A burst of presses, each a whole run within its press, then the close request at once: every
# press is answered in turn and the request still ends the program.
start_app
xdotool mousemove "$generate_x" "$generate_y" click --repeat 20 --delay 1 1
xdotool key alt+F4
expect_exit_zero "the close request after a burst of presses"
