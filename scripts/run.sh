#!/usr/bin/env bash
# Builds Arbolith and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh run
log=$(mktemp)
if ! { cmake --preset dev && cmake --build --preset dev --target arbolith arbolith-render; } \
    >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "run: the build failed (output above)" >&2
  exit 1
fi
rm -f "$log"
# With no display the program says so itself.
exec build/dev/ui/qt/arbolith "$@"
