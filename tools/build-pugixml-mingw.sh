#!/usr/bin/env bash
# Builds a static Windows pugixml from Debian's pugixml source package, once:
# the result is cached under the given prefix and reused afterwards. Only the
# Visio stand-in links it (it reads and writes Visio's XML files and SVG).
set -euo pipefail
prefix=$1                      # e.g. build/deps/pugixml-mingw
if [ -f "$prefix/lib/libpugixml.a" ] && [ -f "$prefix/include/pugixml.hpp" ]; then exit 0; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
( cd "$work" && apt-get source -qq pugixml >/dev/null 2>&1 ) || {
  echo "could not fetch the pugixml source package" >&2; exit 1; }
src=$(find "$work" -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
cat > "$work/mingw.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
TC
cmake -S "$src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_PREFIX="$(realpath -m "$prefix")" >/dev/null
cmake --build "$work/b" -j"$(nproc)" >/dev/null
cmake --install "$work/b" >/dev/null
test -f "$prefix/lib/libpugixml.a"
