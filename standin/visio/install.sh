#!/usr/bin/env bash
# Registers the Visio stand-in in the project's Wine prefix as the local
# server of Visio.Application, as an installed Visio is. Quick when the
# registration already points at this build's program.
set -euo pipefail
exe="$QEL_WINDOWS_BUILD/standin/visio/VisioStandin.exe"
[ -f "$exe" ] || { echo "Visio stand-in not built yet: $exe" >&2; exit 0; }
winexe="Z:$(printf '%s' "$exe" | tr / '\\')"
# system.reg keeps the value with backslashes and quotes escaped.
escaped=$(printf '"%s"' "$winexe" | sed 's/\\/\\\\/g; s/"/\\"/g')
if grep -qF "@=\"$escaped\"" "$WINEPREFIX/system.reg" 2>/dev/null; then exit 0; fi
"$WINE" "$exe" /RegServer
