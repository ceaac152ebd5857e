#!/usr/bin/env bash
# Runs the command with an X display: the current one, or a private Xvfb.
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi
export QEL_PRIVATE_DISPLAY=1
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
