#!/usr/bin/env bash
# Visio drawing benchmark under Wine: builds (through tools/prepare.sh) and
# draws a 79-row list into the Visio stand-in with the delivered stencil and
# drawing document of build/windows/app/Data.
# Usage: bench/run-visio.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
cmake --build build/windows --target visio_standin_bench -- --no-print-directory >/dev/null
folder="Z:$(pwd)/build/windows/app"
exec tools/wine-session.sh bash -c '"$WINE" build/windows/visio_standin_bench.exe "$0"' "${folder//\//\\}"
