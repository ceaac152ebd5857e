#!/usr/bin/env bash
# Start-up benchmark under Wine: builds (through tools/prepare.sh) and runs
# win_startup against the program folder build/windows/app.
# Usage: bench/run-startup.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
exec tools/wine-session.sh bash -c '"$WINE" build/windows/win_startup.exe build\\windows\\app\\Qel-Wirmap.exe \
  build\\windows\\win_minimal_window.exe build\\windows\\app "$0"' "${1:-5}"
