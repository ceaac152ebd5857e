#!/usr/bin/env bash
# Start-up benchmark under Wine: builds (through tools/prepare.sh) and runs
# win_startup against the program folder build/windows/app, with the phase
# figures of win_startup_phases (a copy of the entry point that stamps every
# window creation) below the totals.
# Usage: bench/run-startup.sh [runs] [earlier program folder] [earlier win_startup_phases.exe]
# An earlier program folder (a copy of build/windows/app from another
# build) is measured in the same rounds, for a before-and-after figure; so
# is an earlier build's phase copy when one is given.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
winpath() { printf 'Z:%s' "$(cd "$(dirname "$1")" && pwd | tr / '\\')\\$(basename "$1")"; }
earlier=()
if [ -n "${2:-}" ]; then
  folder="Z:$(cd "$2" && pwd | tr / '\\')"
  earlier=("$folder\\Qel-Wirmap.exe" "$folder")
fi
phases=(--phases 'build\windows\win_startup_phases.exe')
if [ -n "${3:-}" ]; then phases+=("$(winpath "$3")"); fi
exec tools/wine-session.sh bash -c '"$WINE" build/windows/win_startup.exe build\\windows\\app\\Qel-Wirmap.exe \
  build\\windows\\win_minimal_window.exe build\\windows\\app "$@"' _ "${1:-5}" "${earlier[@]}" "${phases[@]}"
