#!/usr/bin/env bash
# Everything ./run.sh and ./test.sh need before they run: the Debian
# packages, the Windows libjpeg, and the build trees, built incrementally.
# --sanitizers (./test.sh) adds the sanitizer build of the native tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

tools/install-packages.sh
tools/build-pugixml-mingw.sh build/deps/pugixml-mingw32
tools/build-libjpeg-mingw.sh build/deps/libjpeg-mingw32
tools/build-dxflib.sh build/deps/dxflib-mingw32 mingw
tools/build-dxflib.sh build/deps/dxflib-native native
tools/build-libharu.sh build/deps/libharu-mingw32 mingw
tools/build-libharu.sh build/deps/libharu-native native

configure() {  # build dir, extra cmake arguments...
  local dir=$1; shift
  # A tree is configured again when the arguments it was made with change
  # (warnings as errors in the test build, the sanitizer flags).
  # The toolchain file's fingerprint counts too: CMake keeps the compilers it
  # found first, so a changed toolchain needs a fresh cache.
  local args="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_WERROR=ON $* $(md5sum < cmake/mingw-w64.cmake | cut -c1-12)"
  if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/.qel-configured" 2>/dev/null)" != "$args" ]; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEL_WERROR=ON "$@" >/dev/null
    printf '%s' "$args" > "$dir/.qel-configured"
  fi
}
configure build/native
configure build/windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
cmake --build build/native -j"$jobs" -- --no-print-directory >/dev/null
trees='native'
if [ "${1:-}" = --sanitizers ]; then
  # The native unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
  # (for ./test.sh); lightly optimised, with line tables only, to keep the build short.
  # GCC's flow analysis under the sanitizers warns falsely of uninitialised
  # members inside the standard library (std::regex); the plain build still
  # reports that warning.
  configure build/native-asan -DQEL_SANITIZE=address,undefined \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -Wno-maybe-uninitialized"
  cmake --build build/native-asan --target native_tests -j"$jobs" -- --no-print-directory >/dev/null
  trees="$trees native-asan"
fi
cmake --build build/windows -j"$jobs" -- --no-print-directory >/dev/null

# One ctest run over all trees, so the run ends with a single summary.
: > build/CTestTestfile.cmake
for tree in $trees windows; do printf 'subdirs("%s")\n' "$tree" >> build/CTestTestfile.cmake; done
