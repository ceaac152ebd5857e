#!/usr/bin/env bash
# Installs the Debian packages the build, the Wine prefix and the tests need.
# Idempotent: when every package is present nothing is touched.
set -euo pipefail

# The program is a 32-bit Windows program (the AutoCAD editions it drives are
# 32-bit only), so Wine needs its 32-bit half from Debian's i386 architecture.
PACKAGES=(mingw-w64 g++-mingw-w64-i686-posix wine64 wine32:i386 xvfb xauth locales
          xdotool fonts-ipafont-gothic cmake googletest libjpeg-dev g++ make dpkg-dev
          python3-ezdxf python3-numpy zip unzip poppler-utils ghostscript
          python3-fonttools)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# The Windows libraries are built from Debian's own source packages, so a
# deb-src entry must exist. It is derived from the machine's own deb entry
# for its release (whatever mirror that names), never from a fixed host.
has_src_entry() {
  grep -rqsE '^Types:.*deb-src' /etc/apt/sources.list.d/*.sources \
    || grep -qsE '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list
}
src_entry=/etc/apt/sources.list.d/qel-wirmap-src.sources
write_src_entry() {
  local suite
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  # deb822 stanzas: the first 'Types: deb' stanza naming the release's suite.
  local stanza
  stanza=$(awk -v suite="$suite" '
    BEGIN { RS = ""; FS = "\n" }
    {
      deb = 0; ours = 0
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^Types:/ && (" " substr($i, 7) " ") ~ /[ \t]deb[ \t]/) deb = 1
        if ($i ~ /^Suites:/ && (" " substr($i, 8) " ") ~ ("[ \t]" suite "[ \t]")) ours = 1
      }
      if (!deb || !ours) next
      for (i = 1; i <= NF; i++) {
        if ($i ~ /^#/) continue
        if ($i ~ /^Types:/) $i = "Types: deb-src"
        if ($i ~ /^Suites:/) $i = "Suites: " suite
        print $i
      }
      exit
    }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
  if [ -z "$stanza" ]; then
    # One-line entries: "deb [options] URI SUITE COMPONENTS...".
    local line
    line=$(grep -hsE "^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?[^[:space:]]+[[:space:]]+$suite[[:space:]]" \
             /etc/apt/sources.list /etc/apt/sources.list.d/*.list | head -n 1 || true)
    [ -n "$line" ] || { echo "no Debian deb entry for '$suite' to derive a deb-src entry from" >&2; exit 1; }
    printf 'deb-src%s\n' "${line#deb}" | $SUDO tee "${src_entry%.sources}.list" >/dev/null
    return
  fi
  printf '%s\n' "$stanza" | $SUDO tee "$src_entry" >/dev/null
}
if ! has_src_entry; then
  write_src_entry
  need_update=1
fi

if [ "${#missing[@]}" -gt 0 ] || [ "$need_update" = 1 ]; then
  $SUDO apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

# Wine hands every non-ASCII name through the locale: without ja_JP.UTF-8
# generated it mangles Shift-JIS file names and command lines.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
