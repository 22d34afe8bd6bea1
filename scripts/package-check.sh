#!/usr/bin/env bash
# package-check.sh [build folder]: builds the Debian package from a built
# tree, unpacks it into a scratch root (dpkg -x), runs the unpacked programs
# there without a display and with a scratch data folder, and lints it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target package
deb=$(ls -t "$build"/printer-diagnostics_*.deb | head -n1)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root/pkg"
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DIAG_DEVICE_ROOT \
    HOME="$root/home" XDG_DATA_HOME="$root/data" DIAG_SIM_TIME_SCALE=0 "$@"
}
run "$root/pkg/usr/bin/vantor" --version
run "$root/pkg/usr/bin/pellam" --version
run "$root/pkg/usr/bin/vantor" --list >"$root/list"
grep -q 'Platen Test' "$root/list" || { echo "vantor --list did not name the platen test"; cat "$root/list"; exit 1; }
run "$root/pkg/usr/bin/vantor" --run "Platen Test" --cycles 2 --pause 0 | tee "$root/run"
grep -q '^== End ==' "$root/run" || { echo "the headless platen run did not end"; exit 1; }
[ -f "$root/data/printer-diagnostics/Vantor.ini" ] || { echo "the data folder was not seeded"; exit 1; }
[ ! -e "$root/pkg/usr/bin/Vantor.ini" ] && [ ! -e "$root/pkg/usr/bin/device" ] ||
  { echo "the unpacked program wrote beside itself"; exit 1; }

# Errors fail; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$deb"
