#!/usr/bin/env bash
# Registers the Visio stand-in in the project's Wine prefix as the local
# server of Visio.Application, as an installed Visio is.
set -euo pipefail
. "$(dirname "$0")/../comserver/register.sh"
register_local_server "$QEL_WINDOWS_BUILD/standin/visio/VisioStandin.exe" "Visio stand-in"
