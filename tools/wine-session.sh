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
. "$here/wine-env.sh"
"$@"
rc=$?
if [ "$wait_for_programs" = 1 ]; then "$WINESERVER" -w 2>/dev/null; else "$WINESERVER" -k 2>/dev/null; fi
exit $rc
