#!/usr/bin/env bash
# Reads vantor as a screen reader does: the program runs under a virtual
# display with the accessibility bus (AT-SPI) up, and tools/a11y_check/client.py
# opens the platen test, reads a reading (the "VRef :" value) by its name,
# runs the test and reads the result list through the bus;
# then the station window: a unit run from the bus, its steps and verdict read.
# Works on a copy of the sample settings and device root. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(at-spi2-core python3-pyatspi dbus xvfb)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset default >/dev/null
cmake --build --preset default --target vantor

if [ -z "${A11Y_CHECK_INSIDE:-}" ]; then
  # A session bus of our own, so that the accessibility bus is ours too.
  exec env A11Y_CHECK_INSIDE=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp build/bin/vantor sample/Vantor.ini "$work/"
cp -r sample/device "$work/device"

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
# Qt offers itself on the bus only when a client asks, or when told to.
DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 DIAG_SIM_TIME_SCALE=0 \
  "$work/vantor" >"$work/vantor.log" 2>&1 &
pids+=($!)
/usr/bin/python3 tools/a11y_check/client.py

# The station window, over a sequence that passes against the simulator.
kill "${pids[-1]}" 2>/dev/null || true
wait "${pids[-1]}" 2>/dev/null || true
unset 'pids[-1]'
cat >"$work/line.json" <<'JSON'
{ "name": "Accessibility check", "serialRequired": true, "steps": [
  { "test": "Platen Test", "cycles": 2, "pause": 0, "limits": { "Total encode": "1..100000" } },
  { "test": "Ejector Test", "cycles": 1, "pause": 0 } ] }
JSON
DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 DIAG_SIM_TIME_SCALE=0 \
  "$work/vantor" --station "$work/line.json" >"$work/station.log" 2>&1 &
pids+=($!)
/usr/bin/python3 tools/a11y_check/client.py --station
