#!/usr/bin/env bash
# Builds and starts the service program against the simulated printer.
# Without a display it runs under a virtual one (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target pellam
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  exec xvfb-run -a build/bin/pellam "$@"
fi
exec build/bin/pellam "$@"
