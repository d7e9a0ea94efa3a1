# Sourced by the Windows test scripts: a private X display and a Wine prefix inside the build
# folder, both started here and stopped again by wine_stop.

wine_find() {
  WINE64=""
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [[ -n "$candidate" && -x "$candidate" ]]; then
      WINE64=$candidate
      break
    fi
  done
  WINESERVER=""
  for candidate in /usr/lib/wine/wineserver "$(command -v wineserver || true)"; do
    if [[ -n "$candidate" && -x "$candidate" ]]; then
      WINESERVER=$candidate
      break
    fi
  done
  if [[ -z "$WINE64" || -z "$WINESERVER" ]]; then
    echo "wine64 is not installed (scripts/setup.sh installs it)" >&2
    return 1
  fi
}

# The build folder is the nearest directory above $1 that holds CMakeCache.txt.
wine_build_dir() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  while [[ "$dir" != / && ! -f "$dir/CMakeCache.txt" ]]; do
    dir=$(dirname "$dir")
  done
  [[ -f "$dir/CMakeCache.txt" ]] || { echo "no build folder above $1" >&2; return 1; }
  echo "$dir"
}

# Quiet, no prompts for add-ons, and the prefix made once (under a lock, since tests may start
# side by side).
wine_prefix() {
  export WINEPREFIX=$1/wineprefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  exec 9>"$1/wineprefix.lock"
  flock 9
  if [[ ! -f "$WINEPREFIX/.arbolith-ready" ]]; then
    rm -rf "$WINEPREFIX"
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w
    [[ -f "$WINEPREFIX/system.reg" ]] || { echo "wineboot could not make $WINEPREFIX" >&2; return 1; }
    touch "$WINEPREFIX/.arbolith-ready"
  fi
  flock -u 9
}

XVFB_PID=""
wine_start_display() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset 8>"$fifo" \
    >/dev/null 2>&1 </dev/null &
  XVFB_PID=$!
  local number=""
  read -r -t 30 number <"$fifo" || true
  rm -f "$fifo"
  if [[ -z "$number" ]]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

wine_stop() {
  [[ -n "${WINEPREFIX:-}" && -n "${WINESERVER:-}" ]] && "$WINESERVER" -k >/dev/null 2>&1 || true
  if [[ -n "$XVFB_PID" ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}

# Everything a Windows test needs, for the program at $1.
wine_setup() {
  wine_find
  local build
  build=$(wine_build_dir "$1")
  wine_prefix "$build"
  wine_start_display
  trap wine_stop EXIT
}
