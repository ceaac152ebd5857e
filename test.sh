#!/usr/bin/env bash
# Prepares what is missing, builds the trees, writes the user's zip and runs
# every test: the native unit tests, once more built with AddressSanitizer
# and UndefinedBehaviorSanitizer, and, with the project's Wine prefix in one
# display session, the Windows tests (the program started from the unpacked
# zip among them). Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
tools/prepare.sh --sanitizers
tools/package.sh >/dev/null
exec tools/wine-session.sh ctest --test-dir build --output-on-failure -j2 "$@"
