#!/usr/bin/env bash
# Builds and starts the station window of the engineering program against
# the simulated printer: scripts/run-station.sh [line.json]. Without a
# display it runs under a virtual one (xvfb-run). Without a file the
# sequence used last is loaded (the last five are kept in Station.recent
# beside Vantor.ini).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vantor
args=(--station)
if [ $# -gt 0 ]; then
  # The program runs from its own folder's view of relative paths: make the file absolute.
  args+=("$(realpath "$1")")
  shift
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/vantor "${args[@]}" "$@"
fi
exec build/bin/vantor "${args[@]}" "$@"
