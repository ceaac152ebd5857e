#!/usr/bin/env bash
# Runs a command in one display session with the project's Wine prefix
# prepared, and stops that prefix's wineserver afterwards so nothing is left
# running. Usage: tools/wine-session.sh [--wait] command args...
# --wait lets the Windows programs end by themselves instead of being stopped.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${QEL_IN_DISPLAY:-}" != 1 ]; then
  QEL_IN_DISPLAY=1 exec "$here/with-display.sh" "$here/wine-session.sh" "$@"
fi
wait_for_programs=0
if [ "${1:-}" = --wait ]; then wait_for_programs=1; shift; fi
"$here/prepare-prefix.sh" || exit 1
"$here/../standin/install" || exit 1
. "$here/wine-env.sh"
# A private Xvfb has no window manager: Wine then waits for one on every
# hide of a managed window (about two seconds each). Unmanaged windows hide
# at once; on a real desktop the window manager keeps managing them.
managed=Y
[ "${QEL_PRIVATE_DISPLAY:-}" = 1 ] && managed=N
if ! grep -A3 -F '[Software\\Wine\\X11 Driver]' "$WINEPREFIX/user.reg" 2>/dev/null | grep -q "\"Managed\"=\"$managed\""; then
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
fi
"$@"
rc=$?
if [ "$wait_for_programs" = 1 ]; then "$WINESERVER" -w 2>/dev/null; else "$WINESERVER" -k 2>/dev/null; fi
exit $rc
