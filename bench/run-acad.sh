#!/usr/bin/env bash
# AutoCAD benchmarks under Wine, against the stand-in installed as
# AutoCAD 2000: 200 command texts through SendCommand, then a 79-row list
# drawn by AcadMakeDrawing (pages go to build/bench-acad). Each prints its
# total time against the 100 ms delivery cycle.
# Usage: bench/run-acad.sh [commands]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
out=$PWD/build/bench-acad
rm -rf "$out" && mkdir -p "$out"
win() { local p="Z:$1"; echo "${p//\//\\}"; }
exec tools/wine-session.sh bash -c '
  set -e
  "$WINE" build/windows/acad_delivery_bench.exe "$0" "C:\\Program Files (x86)\\AutoCAD 2000\\ACAD.EXE"
  "$WINE" build/windows/acad_drawing_bench.exe "$1" "$2"
  ls "$3"' "${1:-200}" "$(win "$PWD/build/windows/app")" "$(win "$out/bench")" "$out"
