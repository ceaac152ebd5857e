#!/usr/bin/env bash
# Prepares what is missing, builds the trees and runs every test: the
# native unit tests, once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and, with the project's Wine prefix in one
# display session, the Windows tests. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
tools/prepare.sh --sanitizers
exec tools/wine-session.sh ctest --test-dir build --output-on-failure -j2 "$@"
