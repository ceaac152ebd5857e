#!/usr/bin/env bash
# Builds a static libharu (the PDF writer, zlib/libpng licence) and the zlib
# it compresses with (zlib licence), once, from Debian's libharu and zlib
# source packages: the result is cached under the given prefix and reused
# afterwards. Built for Windows (the program) and natively (the unit tests
# and the benchmark of the PDF output). Neither library is a Debian mingw
# package, and Debian packages no static libharu.
#
# What goes in: libharu's C sources without PNG support (the program puts
# no pictures into its PDF files); libharu carries the metrics of the 14
# standard PDF fonts and its CJK encoding tables in its own sources, and
# embeds nothing else. Fonts come from the files the program names.
set -euo pipefail
prefix=$1                      # e.g. build/deps/libharu-mingw32
target=${2:-mingw}             # mingw or native
case $target in
  mingw) cc="i686-w64-mingw32-gcc-posix" ar=i686-w64-mingw32-ar ;;
  native) cc="gcc -fPIC" ar=ar ;;
  *) echo "build-libharu.sh: unknown target $target" >&2; exit 2 ;;
esac
stamp="$prefix/.recipe-2"
if [ -f "$prefix/lib/libhpdf.a" ] && [ -f "$prefix/lib/libz.a" ] && [ -f "$prefix/include/hpdf.h" ] && [ -f "$stamp" ]; then
  exit 0
fi
rm -rf "$prefix"
mkdir -p "$prefix/lib" "$prefix/include" "$prefix/licences"
prefix=$(realpath "$prefix")
. "$(dirname "$0")/debian-source.sh"

# zlib: its library sources need nothing but the compiler.
(
  fetch_debian_source zlib
  test -f "$src/deflate.c" || { echo "unexpected zlib source layout" >&2; exit 1; }
  mkdir -p "$work/obj"
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
    $cc -O2 -w -c "$src/$f.c" -o "$work/obj/$f.o"
  done
  $ar rcs "$prefix/lib/libz.a" "$work"/obj/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  sed -n '/Copyright (C)/,/\*\//p' "$src/zlib.h" > "$prefix/licences/zlib.txt"
)

fetch_debian_upstream_source libharu
test -f "$src/src/hpdf_doc.c" && test -f "$src/include/hpdf.h" || { echo "unexpected libharu source layout" >&2; exit 1; }
cat > "$src/include/hpdf_config.h" <<'H'
#define LIBHPDF_HAVE_LIBZ 1
#define LIBHPDF_HAVE_NOPNGLIB 1
#define HPDF_NOPNGLIB 1
#define LIBHPDF_HAVE_STDLIB_H 1
#define LIBHPDF_HAVE_STRING_H 1
#define LIBHPDF_HAVE_STDINT_H 1
#define LIBHPDF_STDC_HEADERS 1
H
mkdir -p "$work/hobj"
for f in "$src"/src/*.c; do
  case $(basename "$f") in hpdf_image_png.c|hpdf_doc_png.c) continue ;; esac
  $cc -O2 -w -I"$src/include" -I"$prefix/include" -c "$f" -o "$work/hobj/$(basename "${f%.c}").o"
done
$ar rcs "$prefix/lib/libhpdf.a" "$work"/hobj/*.o
cp "$src"/include/*.h "$prefix/include/"
sed -n '/^\* License/,/^\* Acknowledgment/p' "$src/README" | sed '$d' > "$prefix/licences/libharu.txt"
test -f "$prefix/lib/libhpdf.a" && touch "$stamp"
