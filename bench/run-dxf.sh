#!/usr/bin/env bash
# The program's own DXF output of the 79-row mixed list (build/native/
# dxf_pages_bench, in process; pages go to build/bench-dxf). With --acad the
# AutoCAD job of the same list runs first through the stand-in under Wine
# (some minutes: one command per 100 ms), and the DXF figure is printed
# against its total.
# Usage: bench/run-dxf.sh [--acad]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
out=$PWD/build/bench-dxf
rm -rf "$out" && mkdir -p "$out/dxf" "$out/acad"
acad_seconds=()
if [ "${1:-}" = --acad ]; then
  win() { local p="Z:$1"; echo "${p//\//\\}"; }
  log=$(tools/wine-session.sh bash -c '"$WINE" build/windows/acad_drawing_bench.exe "$0" "$1"' \
        "$(win "$PWD/build/windows/app")" "$(win "$out/acad/bench")" | tee /dev/stderr)
  acad_seconds=("$(sed -n 's/.*; total: \([0-9.]*\) s;.*/\1/p' <<<"$log")")
fi
build/native/dxf_pages_bench "$PWD/data/Qel-Acad.DWG" "$out/dxf" "${acad_seconds[@]}"
