#!/usr/bin/env bash
# Prepares what is missing, builds both trees and runs every test: the
# native unit tests and, in one display session with the project's Wine
# prefix, the Windows tests. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
tools/prepare.sh
exec tools/with-display.sh bash -c '
  tools/prepare-prefix.sh
  . tools/wine-env.sh
  ctest --test-dir build --output-on-failure -j2 "$@"
  rc=$?
  "$WINESERVER" -k 2>/dev/null || true
  exit $rc' qel-tests "$@"
