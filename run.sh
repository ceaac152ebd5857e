#!/usr/bin/env bash
# Builds Qel-Wirmap and starts it under Wine from its program folder
# (build/windows/app, holding Data\ and Readme\ as on a Windows machine).
set -euo pipefail
cd "$(dirname "$0")"
tools/prepare.sh
cd build/windows/app
exec ../../../tools/wine-session.sh --wait bash -c '"$WINE" ./Qel-Wirmap.exe'
