#!/usr/bin/env bash
# The program as a user gets it: checks the names in the zip, unpacks it
# into a fresh folder whose path holds a blank and Japanese characters, and
# runs the PackagedProgram tests of wine_tests.exe against the program there.
# usage: run_from_zip.sh ZIP WINE_TESTS_EXE
set -euo pipefail
zip=$1 tests=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine-env.sh"

want='Qel-Wirmap/
Qel-Wirmap/COPYING
Qel-Wirmap/Data/
Qel-Wirmap/Data/Qel-Acad.DWG
Qel-Wirmap/Data/fd.dat
Qel-Wirmap/Data/mel.dat
Qel-Wirmap/Data/qel-ms.vsd
Qel-Wirmap/Data/qel-ms.vss
Qel-Wirmap/MANUAL-ja.html
Qel-Wirmap/Qel-Wirmap.exe
Qel-Wirmap/Readme/'
got=$(unzip -Z1 "$zip" | LC_ALL=C sort)
if [ "$got" != "$want" ]; then
  printf 'the zip holds:\n%s\nexpected:\n%s\n' "$got" "$want" >&2; exit 1
fi
grep -q '<meta charset="UTF-8">' <(unzip -p "$zip" Qel-Wirmap/MANUAL-ja.html) \
  || { echo "the guide declares no charset" >&2; exit 1; }

target="$WINEPREFIX/drive_c/ツール/Qel Wirmap"
rm -rf "$target"
mkdir -p "$target"
unzip -q "$zip" -d "$target"
QEL_PACKAGE_FOLDER='C:\ツール\Qel Wirmap\Qel-Wirmap' "$here/../../tools/wine-run.sh" "$tests" --gtest_filter='PackagedProgram.*'
