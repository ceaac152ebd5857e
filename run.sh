#!/usr/bin/env bash
# Builds Qel-Wirmap and starts it under Wine from its program folder
# (build/windows/app, holding Data\ and Readme\ as on a Windows machine).
set -euo pipefail
cd "$(dirname "$0")"
tools/prepare.sh
exec tools/with-display.sh bash -c '
  tools/prepare-prefix.sh
  . tools/wine-env.sh
  cd build/windows/app
  "$WINE" ./Qel-Wirmap.exe
  rc=$?
  "$WINESERVER" -w 2>/dev/null || true
  exit $rc'
