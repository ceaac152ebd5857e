#!/usr/bin/env bash
# Builds a static Windows libjpeg from Debian's libjpeg-turbo source package,
# once: the result is cached under the given prefix and reused afterwards.
set -euo pipefail
prefix=$1                      # e.g. build/deps/libjpeg-mingw32
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then exit 0; fi

. "$(dirname "$0")/debian-source.sh"
fetch_debian_source libjpeg-turbo
write_mingw_toolchain "$work/mingw.cmake"
cmake -S "$src" -B "$work/b" -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$(realpath -m "$prefix")" >/dev/null
cmake --build "$work/b" -j"$(nproc)" >/dev/null
cmake --install "$work/b" >/dev/null
test -f "$prefix/lib/libjpeg.a"
