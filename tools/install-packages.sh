#!/usr/bin/env bash
# Installs the Debian packages the build, the Wine prefix and the tests need.
# Idempotent: when every package is present nothing is touched.
set -euo pipefail

PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix wine64 xvfb xauth locales xdotool
          fonts-ipafont-gothic cmake googletest libjpeg-dev g++ make dpkg-dev
          python3-ezdxf)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# The Windows libjpeg is built from Debian's own source package, so a deb-src
# entry for the configured suite must exist.
need_src_entry=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  need_src_entry=1
fi

if [ "${#missing[@]}" -gt 0 ] || [ "$need_src_entry" = 1 ]; then
  if [ "$need_src_entry" = 1 ]; then
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$suite" \
      | $SUDO tee /etc/apt/sources.list.d/qel-wirmap-src.sources >/dev/null
  fi
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
