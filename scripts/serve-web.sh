#!/usr/bin/env bash
# Builds the browser edition and serves it on this machine: open the address it prints.
# Usage: scripts/serve-web.sh [PORT]   (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset web >/dev/null
cmake --build --preset web
exec node web/serve.mjs build/web/site "${1:-8000}"
