#!/usr/bin/env bash
# Makes a delay-load import library for a system DLL from mingw-w64's
# ordinary import library: the program then loads the DLL the first time
# one of its functions is called instead of at every start.
# Usage: tools/make-delay-import.sh DLL-NAME IMPORT-LIBRARY OUTPUT
set -euo pipefail
dll=$1 implib=$2 out=$3
def="$out.def"
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  x86_64-w64-mingw32-nm "$implib" | sed -n 's/.* I __imp_//p' | sort -u
} > "$def"
test "$(wc -l < "$def")" -gt 2 || { echo "no exports found in $implib" >&2; exit 1; }
x86_64-w64-mingw32-dlltool --input-def "$def" --output-delaylib "$out"
