#!/usr/bin/env bash
# Builds and starts the engineering program against the simulated printer.
# Without a display it runs under a virtual one (xvfb-run). Beside the
# program the build leaves a starter Vantor.ini (unless one is there) and the
# device root device/ (docs/simulator.md for the simulator's settings).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vantor
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/vantor "$@"
fi
exec build/bin/vantor "$@"
