#!/usr/bin/env bash
# Everything ./run.sh and ./test.sh need before they run: the Debian
# packages, the Windows libjpeg, and both build trees, built incrementally.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

tools/install-packages.sh
tools/build-pugixml-mingw.sh build/deps/pugixml-mingw
tools/build-libjpeg-mingw.sh build/deps/libjpeg-mingw
tools/build-dxflib-mingw.sh build/deps/dxflib-mingw

configure() {  # build dir, extra cmake arguments...
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  fi
}
configure build/native
configure build/windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
cmake --build build/native -j"$jobs" -- --no-print-directory >/dev/null
cmake --build build/windows -j"$jobs" -- --no-print-directory >/dev/null

# One ctest run over both trees, so the run ends with a single summary.
printf 'subdirs("native")\nsubdirs("windows")\n' > build/CTestTestfile.cmake
