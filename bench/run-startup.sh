#!/usr/bin/env bash
# Start-up benchmark under Wine: builds (through tools/prepare.sh) and runs
# win_startup against the program folder build/windows/app.
# Usage: bench/run-startup.sh [runs] [earlier program folder]
# An earlier program folder (a copy of build/windows/app from another
# build) is measured in the same rounds, for a before-and-after figure.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
earlier=()
if [ -n "${2:-}" ]; then
  folder="Z:$(cd "$2" && pwd | tr / '\\')"
  earlier=("$folder\\Qel-Wirmap.exe" "$folder")
fi
exec tools/wine-session.sh bash -c '"$WINE" build/windows/win_startup.exe build\\windows\\app\\Qel-Wirmap.exe \
  build\\windows\\win_minimal_window.exe build\\windows\\app "$@"' _ "${1:-5}" "${earlier[@]}"
