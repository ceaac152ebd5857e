#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's own prefix and a
# Japanese locale (code page 932 as the ANSI code page).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
exec "$WINE" "$@"
