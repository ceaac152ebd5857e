#!/usr/bin/env bash
# Renders page 1 of the 79-row list's DXF pages with LibreOffice Draw and
# LibreCAD (both installed here when missing: they are big, so this is not
# part of ./test.sh), and checks with pdftotext that every name and tag of
# the page came out. Writes <out>/page1-libreoffice.png and
# <out>/page1-librecad.png.
# Usage: bench/render-dxf-page.sh [out folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/bench-render}")
need=()
command -v soffice >/dev/null || need+=(libreoffice-draw)
command -v librecad >/dev/null || need+=(librecad)
command -v pdftotext >/dev/null || need+=(poppler-utils)
if [ ${#need[@]} -gt 0 ]; then
  sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get install -y --no-install-recommends "${need[@]}" xvfb xauth >/dev/null
fi
rm -rf "$out" && mkdir -p "$out/pages"
build/native/dxf_pages_bench "$PWD/data/Qel-Acad.DWG" "$out/pages" >/dev/null
page="$out/pages/bench1.dxf"
( cd "$out" && soffice --headless --convert-to pdf --outdir "$out/lo" "$page" >/dev/null 2>&1 )
# LibreCAD prints on A4 at 1:1 unless told to fit; it names the PDF after
# the drawing in the target folder (its -o is not taken for one file).
xvfb-run -a librecad dxf2pdf -a -t "$out/lc" "$page" >/dev/null 2>&1 || true
status=0
for tool in lo lc; do
  pdf="$out/$tool/bench1.pdf"
  name=$([ $tool = lo ] && echo libreoffice || echo librecad)
  if [ ! -f "$pdf" ]; then echo "$name: no PDF"; status=1; continue; fi
  pdftoppm -png -r 100 -singlefile "$pdf" "$out/page1-$name"
  if [ $tool = lc ]; then
    # LibreCAD draws texts as strokes: there is no text to read back, only the picture.
    echo "$name: page 1 rendered as $out/page1-$name.png (texts drawn as strokes, not checked)"
    continue
  fi
  text=$(pdftotext -layout "$pdf" - | tr -s ' \n' ' ')
  missing=()
  # Names and tags of page 1 of the mixed list, as the layout writes them.
  for want in $(/usr/bin/python3 - "$page" <<'PY'
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
for e in doc.modelspace().query("TEXT"):
    t = e.dxf.text
    if e.dxf.halign == 1 and not t.startswith(("ACM", "Panel")) and " " not in t:
        print(t)
PY
  ); do
    grep -qF -- "$want" <<<"$text" || missing+=("$want")
  done
  echo "$name: page 1 rendered as $out/page1-$name.png; missing texts: ${#missing[@]} ${missing[*]:-}"
  [ ${#missing[@]} -eq 0 ] || status=1
done
exit $status
