#!/usr/bin/env bash
# Writes the folder a user unpacks and starts, as one zip:
#   dist/Qel-Wirmap-<version>-win32.zip holding
#   Qel-Wirmap\Qel-Wirmap.exe, Data\ (the equipment tables, the Visio stencil
#   and drawing, the AutoCAD template), an empty Readme\ (the settings file
#   goes there), COPYING and the user guide MANUAL-ja.html.
# The version is the CMake project version. Every name in the zip is ASCII,
# so any unzip tool on any code page keeps them. Needs the Windows build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(sed -n 's/^project(QelWirmap VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no project version in CMakeLists.txt" >&2; exit 1; }
exe=build/windows/app/Qel-Wirmap.exe
[ -f "$exe" ] || { echo "package.sh: $exe is not built" >&2; exit 1; }
zip="dist/Qel-Wirmap-$version-win32.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
top="$stage/Qel-Wirmap"
mkdir -p "$top/Data" "$top/Readme"
# The line tables are for the developers' debugger, not for the user's disk.
i686-w64-mingw32-strip --strip-debug -o "$top/Qel-Wirmap.exe" "$exe"
cp data/*.dat data/*.vss data/*.vsd data/*.DWG "$top/Data/"
cp COPYING "$top/COPYING"
cp doc/MANUAL-ja.html "$top/MANUAL-ja.html"
if LC_ALL=C find "$top" | LC_ALL=C grep -q '[^ -~]'; then
  echo "package.sh: a name in the package is not ASCII" >&2; exit 1
fi
# The same files give the same zip: fixed times, no extra attributes, a
# fixed order.
find "$top" -exec touch -h -d '2000-01-01 00:00:00' {} +
mkdir -p dist
rm -f "$zip"
(cd "$stage" && LC_ALL=C find Qel-Wirmap | LC_ALL=C sort | TZ=UTC zip -q -X -9 -@ "$root/$zip.tmp")
mv -f "$zip.tmp" "$zip"
echo "$zip"
