#!/usr/bin/env bash
# Fuzzes the DXF reader with libFuzzer (clang), under AddressSanitizer and
# UndefinedBehaviorSanitizer, dxflib included and instrumented. Seeds: the
# delivered template and the hostile templates of the unit tests. A memory
# limit per process and a time limit per input make a blow-up or a hang a
# finding like a crash.
#   tests/fuzz/run.sh [seconds]      (default 120; findings in build/fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-120}
out="$root/build/fuzz"
mkdir -p "$out/corpus" "$out/findings"

if [ ! -x "$out/dxf_reader_fuzz" ] || [ "$root/dxf" -nt "$out/dxf_reader_fuzz" ] ||
   [ -n "$(find "$root/dxf" "$root/tests/fuzz" -newer "$out/dxf_reader_fuzz" -type f)" ]; then
  . "$root/tools/debian-source.sh"
  fetch_debian_source dxflib
  flags="-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
  mkdir -p "$out/obj"
  for f in "$src"/src/*.cpp; do
    clang++ $flags -std=c++17 -w -c "$f" -o "$out/obj/dxflib-$(basename "${f%.cpp}").o"
  done
  mkdir -p "$out/include/dxflib" && cp "$src"/src/*.h "$out/include/dxflib/"
  for f in "$root"/dxf/*.cpp; do
    clang++ $flags -finput-charset=UTF-8 -fexec-charset=UTF-8 -I"$root" -isystem "$out/include" \
      -c "$f" -o "$out/obj/qel-$(basename "${f%.cpp}").o"
  done
  clang++ $flags -fsanitize=fuzzer -I"$root" -isystem "$out/include" "$root/tests/fuzz/dxf_reader_fuzz.cpp" \
    "$out"/obj/*.o -o "$out/dxf_reader_fuzz"
fi

cp "$root/data/Qel-Acad.DWG" "$out/corpus/qel-acad.dxf"
cp "$root"/tests/data/templates/*.dxf "$out/corpus/"
cd "$out/findings"
"$out/dxf_reader_fuzz" "$out/corpus" -max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb=256 \
  -timeout=10 -max_len=65536 -print_final_stats=1
