#!/usr/bin/env bash
# Runs one Windows program under wine64 on a private X display and returns its exit status.
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
wine_setup "$1"
status=0
"$WINE64" "$@" </dev/null || status=$?
exit "$status"
