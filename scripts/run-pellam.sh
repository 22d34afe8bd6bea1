#!/usr/bin/env bash
# Builds and starts the service program against the simulated printer.
# Without a display it runs under a virtual one (xvfb-run). Beside the
# program the build leaves the language libraries (EN_Pellam.so,
# DE_Pellam.so) and the device root device/, whose registry
# (device/Registry/HKLM.reg, "LanguagePrefix") chooses the language.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target pellam
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/pellam "$@"
fi
exec build/bin/pellam "$@"
