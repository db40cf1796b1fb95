#!/usr/bin/env bash
# Installs what is needed, builds the program with its data kit and starts it.
# Arguments are passed on to the program (see README).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target radevir -j "$(nproc)"
BIN=build/default/bin/radevir
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting on a virtual X display (xvfb-run)" >&2
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BIN" "$@"
fi
exec "$BIN" "$@"
