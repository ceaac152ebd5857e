#!/usr/bin/env bash
# Remakes data/legend.jpg, the picture of the wiring legend window, from its
# source data/legend.svg. The JPEG is committed, so the build never runs this;
# run it after editing the SVG and commit both files.
#
# Needs (Debian): librsvg2-bin netpbm libjpeg-turbo-progs fonts-ipafont-gothic
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
svg="$root/data/legend.svg"
jpg="$root/data/legend.jpg"

for tool in rsvg-convert pngtopnm cjpeg fc-list; do
  if ! command -v "$tool" >/dev/null; then
    echo "make-legend-jpeg: $tool is missing;" \
         "apt-get install librsvg2-bin netpbm libjpeg-turbo-progs fonts-ipafont-gothic" >&2
    exit 1
  fi
done
# Without a Japanese font the renderer silently draws boxes for the labels.
if ! fc-list | grep -q 'IPAPGothic'; then
  echo "make-legend-jpeg: the IPA P Gothic font is missing; apt-get install fonts-ipafont-gothic" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The window shows the picture 1:1 at 279 x 379, so it is rendered at exactly
# that size on white. Baseline (not progressive) JPEG at quality 90 keeps the
# thin lines and small letters clean and decodes with any libjpeg.
rsvg-convert --background-color=white --width=279 --height=379 "$svg" -o "$tmp/legend.png"
pngtopnm "$tmp/legend.png" > "$tmp/legend.ppm"
cjpeg -quality 90 -outfile "$tmp/legend.jpg" "$tmp/legend.ppm"
mv "$tmp/legend.jpg" "$jpg"
echo "wrote $jpg"
