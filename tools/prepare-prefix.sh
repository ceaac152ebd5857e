#!/usr/bin/env bash
# Creates the project's own Wine prefix once, maps the Japanese UI font to
# the installed IPA font, and does nothing further on later runs. Must run
# inside the display session that the Wine programs will use.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

marker="$WINEPREFIX/.qel-prepared-2"

# The PDF output embeds the Japanese font it finds in the Windows fonts
# folder (MS Gothic on Windows). Wine's fonts folder holds no Japanese font,
# so the IPA Gothic file goes there; a prefix made earlier gets it too.
copy_japanese_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ ! -f "$fonts/ipag.ttf" ]; then
    cp /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$fonts/ipag.ttf"
  fi
}
if [ -f "$marker" ]; then copy_japanese_font; exit 0; fi

# A prefix made by an earlier recipe (before Wine had its 32-bit half, which
# the 32-bit program and stand-ins need) is made again from scratch.
if [ -d "$WINEPREFIX/drive_c" ]; then
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
"$WINE" wineboot --init >/dev/null 2>&1 || true
"$WINESERVER" -w

# "ＭＳ Ｐゴシック" and "ＭＳ ゴシック" do not exist here: Wine's font
# replacement key points them at the IPA Gothic fonts.
reg=$(mktemp --suffix=.reg)
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
  printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
  printf '"MS PGothic"="IPAPGothic"\r\n'
  printf '"MS Gothic"="IPAGothic"\r\n'
  printf '"MS UI Gothic"="IPAPGothic"\r\n'
} | iconv -f UTF-8 -t UTF-16 > "$reg"
"$WINE" regedit /S "$(winepath_arg=$(printf 'Z:%s' "$reg" | tr '/' '\\'); echo "$winepath_arg")" >/dev/null 2>&1
"$WINESERVER" -w
rm -f "$reg"
copy_japanese_font
touch "$marker"
