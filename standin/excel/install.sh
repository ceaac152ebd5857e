#!/usr/bin/env bash
# Registers the Excel stand-in in the project's Wine prefix as the local
# server of Excel.Application, as an installed Excel is.
set -euo pipefail
. "$(dirname "$0")/../comserver/register.sh"
register_local_server "$QEL_WINDOWS_BUILD/standin/excel/ExcelStandin.exe" "Excel stand-in"
