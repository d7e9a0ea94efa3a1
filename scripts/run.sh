#!/usr/bin/env bash
# Builds Arbolith and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target arbolith >/dev/null
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "arbolith: no display to open a window on; try: xvfb-run -a scripts/run.sh," \
       "or draw without a window: build/dev/cli/arbolith-render -o tree.png" >&2
  exit 1
fi
exec build/dev/ui/qt/arbolith "$@"
