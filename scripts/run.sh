#!/usr/bin/env bash
# Starts the program from the installation tree: on $DISPLAY when there is one,
# otherwise under a virtual X server.
set -euo pipefail
exe="$1"; shift || true
if [ -n "${DISPLAY:-}" ]; then
  exec "$exe" "$@"
fi
echo "No DISPLAY: running under xvfb-run (virtual X server)."
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$exe" "$@"
