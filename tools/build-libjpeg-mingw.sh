#!/usr/bin/env bash
# Builds a static Windows libjpeg from Debian's libjpeg-turbo source package,
# once: the result is cached under the given prefix and reused afterwards.
set -euo pipefail
prefix=$1                      # e.g. build/deps/libjpeg-mingw
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then exit 0; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
( cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1 ) || {
  echo "could not fetch the libjpeg-turbo source package" >&2; exit 1; }
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
cat > "$work/mingw.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
TC
cmake -S "$src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$(realpath -m "$prefix")" >/dev/null
cmake --build "$work/b" -j"$(nproc)" >/dev/null
cmake --install "$work/b" >/dev/null
test -f "$prefix/lib/libjpeg.a"
