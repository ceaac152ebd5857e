#!/usr/bin/env bash
# Builds a static Windows pugixml from Debian's pugixml source package, once:
# the result is cached under the given prefix and reused afterwards. Only the
# Visio stand-in links it (it reads and writes Visio's XML files and SVG).
set -euo pipefail
prefix=$1                      # e.g. build/deps/pugixml-mingw32
if [ -f "$prefix/lib/libpugixml.a" ] && [ -f "$prefix/include/pugixml.hpp" ]; then exit 0; fi

. "$(dirname "$0")/debian-source.sh"
fetch_debian_source pugixml
write_mingw_toolchain "$work/mingw.cmake"
cmake -S "$src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_PREFIX="$(realpath -m "$prefix")" >/dev/null
cmake --build "$work/b" -j"$(nproc)" >/dev/null
cmake --install "$work/b" >/dev/null
test -f "$prefix/lib/libpugixml.a"
