# Sourced by the tools/build-*-mingw.sh scripts, which cross-build a Debian
# library for Windows from its source package.
#
# fetch_debian_source PACKAGE: unpacks Debian's source package PACKAGE into a
# temporary folder `$work` (removed when the script ends) and sets `$src` to
# its unpacked tree; ends the script when the package cannot be fetched.
fetch_debian_source() {
  local package=$1
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  ( cd "$work" && apt-get source -qq "$package" >/dev/null 2>&1 ) || {
    echo "could not fetch the $package source package" >&2; exit 1; }
  src=$(find "$work" -maxdepth 1 -type d -name "$package-*" | head -n 1)
}

# write_mingw_toolchain FILE: a CMake toolchain file for the 32-bit mingw-w64
# compilers with POSIX threads, the ones the program itself is built with.
write_mingw_toolchain() {
  cat > "$1" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
TC
}

# fetch_debian_upstream_source PACKAGE: like fetch_debian_source, but when
# Debian's own part of the source package cannot be fetched (seen here: the
# mirror answers 404 for libharu's debian.tar.xz while it has the upstream
# tarball), unpacks the upstream tarball of the same source package. Debian's
# patches are then not applied; the caller checks the tree it gets.
fetch_debian_upstream_source() {
  local package=$1
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  if ( cd "$work" && apt-get source -qq "$package" >/dev/null 2>&1 ); then
    src=$(find "$work" -maxdepth 1 -type d -name "$package-*" | head -n 1)
    return
  fi
  ( cd "$work" && apt-get source -qq --download-only "$package" >/dev/null 2>&1 ) || true
  local orig
  orig=$(find "$work" -maxdepth 1 -name "${package}_*.orig.tar.*" | head -n 1)
  [ -n "$orig" ] || { echo "could not fetch the $package source package" >&2; exit 1; }
  echo "note: Debian's part of the $package source package is missing; building its upstream tarball" >&2
  tar -xf "$orig" -C "$work"
  src=$(find "$work" -maxdepth 1 -type d -name "$package-*" | head -n 1)
}
