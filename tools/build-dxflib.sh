#!/usr/bin/env bash
# Builds a static dxflib from Debian's dxflib source package, once: the
# result is cached under the given prefix and reused afterwards. dxflib ships
# no CMake build, and its few sources need nothing but the compiler. Built
# for Windows (the program and the AutoCAD stand-in) and natively (the unit
# tests of the DXF output; Debian packages no static dxflib).
set -euo pipefail
prefix=$1                      # e.g. build/deps/dxflib-mingw32
target=${2:-mingw}             # mingw or native
case $target in
  mingw) cxx="i686-w64-mingw32-g++-posix" ar=i686-w64-mingw32-ar ;;
  native) cxx="g++ -fPIC" ar=ar ;;
  *) echo "build-dxflib.sh: unknown target $target" >&2; exit 2 ;;
esac
# The stamp names the build recipe below: a library cached by an earlier
# recipe is built again.
stamp="$prefix/.recipe-2-quiet"
if [ -f "$prefix/lib/libdxflib.a" ] && [ -f "$prefix/include/dxflib/dl_dxf.h" ] && [ -f "$stamp" ]; then exit 0; fi
rm -rf "$prefix"

. "$(dirname "$0")/debian-source.sh"
fetch_debian_source dxflib
test -f "$src/src/dl_dxf.cpp" || { echo "unexpected dxflib source layout" >&2; exit 1; }

# dxflib reports a few misuses of its writer on std::cerr. Those reports go
# to a stream of its own that writes nowhere instead: a program with windows
# has no console to read them, and including <iostream> would start the
# standard streams and the whole locale with every program that links
# dxflib, about 0.6 MB of pages and a few milliseconds at each start.
grep -q '#include <iostream>' "$src/src/dl_writer.h" && grep -q '#include "iostream"' "$src/src/dl_dxf.cpp" || {
  echo "unexpected dxflib includes" >&2; exit 1; }
sed -i 's|#include <iostream>|#include <ostream>|' "$src/src/dl_writer.h"
sed -i -e 's|#include "iostream"|#include <ostream>\nnamespace { std::ostream\& dl_quiet() { static std::ostream s(nullptr); return s; } }|' \
  -e 's/std::cerr/dl_quiet()/g; s/std::cout/dl_quiet()/g' "$src/src/dl_dxf.cpp"
if grep -rq 'std::cerr\|std::cout\|<iostream>' "$src/src"; then echo "dxflib still writes to the standard streams" >&2; exit 1; fi

mkdir -p "$work/obj"
for f in "$src"/src/*.cpp; do
  $cxx -std=c++17 -O2 -w -c "$f" -o "$work/obj/$(basename "${f%.cpp}").o"
done
mkdir -p "$prefix/lib" "$prefix/include/dxflib"
$ar rcs "$prefix/lib/libdxflib.a" "$work"/obj/*.o
cp "$src"/src/*.h "$prefix/include/dxflib/"
cp "$src/gpl-2.0greater.txt" "$prefix/COPYING" 2>/dev/null || true
test -f "$prefix/lib/libdxflib.a" && touch "$stamp"
