#!/usr/bin/env bash
# Registers the Excel stand-in in the project's Wine prefix as the local
# server of Excel.Application, as an installed Excel is. Quick when the
# registration already points at this build's program.
set -euo pipefail
exe="$QEL_WINDOWS_BUILD/standin/excel/ExcelStandin.exe"
[ -f "$exe" ] || { echo "Excel stand-in not built yet: $exe" >&2; exit 0; }
winexe="Z:$(printf '%s' "$exe" | tr / '\\')"
# system.reg keeps the value with backslashes and quotes escaped.
escaped=$(printf '"%s"' "$winexe" | sed 's/\\/\\\\/g; s/"/\\"/g')
if grep -qF "@=\"$escaped\"" "$WINEPREFIX/system.reg" 2>/dev/null; then exit 0; fi
"$WINE" "$exe" /RegServer
