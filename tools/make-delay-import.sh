#!/usr/bin/env bash
# Makes a delay-load import library for a system DLL from mingw-w64's
# ordinary import library: the program then loads the DLL the first time
# one of its functions is called instead of at every start.
# Usage: tools/make-delay-import.sh DLL-NAME IMPORT-LIBRARY OUTPUT
set -euo pipefail
dll=$1 implib=$2 out=$3
def="$out.def"
# 32-bit import symbols carry the C underscore and the stdcall suffix
# (__imp__VariantInit@4): the .def names them as VariantInit@4, and --kill-at
# makes the DLL's own export name, VariantInit, the one that is loaded.
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  i686-w64-mingw32-nm "$implib" | sed -n 's/.* I __imp__//p' | sort -u
} > "$def"
test "$(wc -l < "$def")" -gt 2 || { echo "no exports found in $implib" >&2; exit 1; }
i686-w64-mingw32-dlltool --kill-at --input-def "$def" --output-delaylib "$out"
