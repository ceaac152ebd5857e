# Sourced: the environment every Wine run of the project uses.
_qel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${QEL_WINEPREFIX:-$_qel_root/build/wineprefix}"
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if command -v wine64 >/dev/null 2>&1; then WINE=$(command -v wine64)
elif [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64
else WINE=wine; fi
export WINE
WINESERVER=$(command -v wineserver 2>/dev/null || echo /usr/lib/wine/wineserver)
export WINESERVER
