#!/usr/bin/env bash
# The program's own PDF output of the 79-row mixed list (build/native/
# pdf_pages_bench, in process, with the IPA Gothic font embedded; the file
# goes to build/bench-pdf), printed beside the DXF pages of the same list
# (build/native/dxf_pages_bench), so that the two outputs of one layout are
# read side by side. Goals: PDF 200 ms, DXF 100 ms.
# Usage: bench/run-pdf.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
out=$PWD/build/bench-pdf
rm -rf "$out" && mkdir -p "$out/dxf"
echo "== PDF =="
build/native/pdf_pages_bench "$PWD/data/Qel-Acad.DWG" /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$out/plant.pdf"
echo "== DXF =="
build/native/dxf_pages_bench "$PWD/data/Qel-Acad.DWG" "$out/dxf"
