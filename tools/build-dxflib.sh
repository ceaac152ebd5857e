#!/usr/bin/env bash
# Builds a static dxflib from Debian's dxflib source package, once: the
# result is cached under the given prefix and reused afterwards. dxflib ships
# no CMake build, and its few sources need nothing but the compiler. Built
# for Windows (the program and the AutoCAD stand-in) and natively (the unit
# tests of the DXF output; Debian packages no static dxflib).
set -euo pipefail
prefix=$1                      # e.g. build/deps/dxflib-mingw
target=${2:-mingw}             # mingw or native
case $target in
  mingw) cxx="x86_64-w64-mingw32-g++-posix" ar=x86_64-w64-mingw32-ar ;;
  native) cxx="g++ -fPIC" ar=ar ;;
  *) echo "build-dxflib.sh: unknown target $target" >&2; exit 2 ;;
esac
if [ -f "$prefix/lib/libdxflib.a" ] && [ -f "$prefix/include/dxflib/dl_dxf.h" ]; then exit 0; fi

. "$(dirname "$0")/debian-source.sh"
fetch_debian_source dxflib
test -f "$src/src/dl_dxf.cpp" || { echo "unexpected dxflib source layout" >&2; exit 1; }

mkdir -p "$work/obj"
for f in "$src"/src/*.cpp; do
  $cxx -std=c++17 -O2 -w -c "$f" -o "$work/obj/$(basename "${f%.cpp}").o"
done
mkdir -p "$prefix/lib" "$prefix/include/dxflib"
$ar rcs "$prefix/lib/libdxflib.a" "$work"/obj/*.o
cp "$src"/src/*.h "$prefix/include/dxflib/"
cp "$src/gpl-2.0greater.txt" "$prefix/COPYING" 2>/dev/null || true
test -f "$prefix/lib/libdxflib.a"
