#!/usr/bin/env bash
# check-install.sh <build> <bindir> <languagedir> <starterdir>
# Installs the build into a scratch prefix and runs the programs from there
# as a new user would: no display, a fresh home, the data folder seeded on
# the first start and never again, the installation itself left untouched.
set -euo pipefail
build=$1 bindir=$2 langdir=$3 starterdir=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
cmake --install "$build" --prefix "$root" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in "$bindir/vantor" "$bindir/pellam" "$langdir/EN_Pellam.so" "$langdir/DE_Pellam.so" \
         "$starterdir/Vantor.ini" "$starterdir/device/Registry/HKLM.reg" "$starterdir/device/boot/Pellam.ini" \
         share/applications/vantor.desktop share/applications/pellam.desktop \
         share/icons/hicolor/scalable/apps/vantor.svg share/icons/hicolor/scalable/apps/pellam.svg \
         share/man/man1/vantor.1.gz share/man/man1/pellam.1.gz; do
  [ -e "$root/$f" ] || fail "$f not installed"
done
# Nothing beside the programs but the programs.
extra=$(ls "$root/$bindir" | grep -v -x -e vantor -e pellam || true)
[ -z "$extra" ] || fail "beside the programs: $extra"

before=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
home=$tmp/home
mkdir -p "$home"
# From another folder, so nothing can come from the working folder.
cd "$tmp"
vantor() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_DATA_HOME -u DIAG_DEVICE_ROOT \
    HOME="$home" DIAG_SIM_TIME_SCALE=0 "$root/$bindir/vantor" "$@"
}
data=$home/.local/share/printer-diagnostics

vantor --version >"$tmp/out" 2>"$tmp/err" || fail "vantor --version exited $?"
grep -q '^vantor ' "$tmp/out" || fail "vantor --version printed: $(cat "$tmp/out")"
[ ! -e "$data" ] || fail "--version created the data folder"

vantor --run "Platen Test" --cycles 2 --pause 0 >"$tmp/out" 2>"$tmp/err" || fail "first run exited $?: $(cat "$tmp/err")"
grep -q '^2\. Total encode = ' "$tmp/out" || fail "first run printed: $(cat "$tmp/out")"
grep -q 'first start' "$tmp/err" || fail "the first start did not say it seeded: $(cat "$tmp/err")"
cmp -s "$root/$starterdir/Vantor.ini" "$data/Vantor.ini" || fail "Vantor.ini not seeded"
[ -f "$data/device/Registry/HKLM.reg" ] || fail "device root not seeded"
[ -w "$data/Vantor.ini" ] || fail "the seeded Vantor.ini is not the user's to change"

vantor --run platen --cycles 1 --pause 0 >"$tmp/out" 2>"$tmp/err" || fail "second run exited $?: $(cat "$tmp/err")"
! grep -q 'first start' "$tmp/err" || fail "the second start seeded again"

# Seeding is once: a settings file the user removed stays removed.
rm "$data/Vantor.ini"
# (The defaults of a missing file refuse the run: status 2.)
vantor --run platen --cycles 1 --pause 0 >"$tmp/out" 2>"$tmp/err" || true
grep -q 'Vantor.ini not loaded' "$tmp/err" || fail "third run: $(cat "$tmp/err")"
[ ! -e "$data/Vantor.ini" ] || fail "Vantor.ini was created again"

# XDG_DATA_HOME moves the data folder.
env -u DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_DATA_HOME="$tmp/xdg" DIAG_SIM_TIME_SCALE=0 \
  "$root/$bindir/vantor" --list >"$tmp/out" 2>"$tmp/err" || fail "--list exited $?"
grep -q 'Platen Test' "$tmp/out" || fail "--list printed: $(cat "$tmp/out")"
[ -f "$tmp/xdg/printer-diagnostics/Vantor.ini" ] || fail "XDG_DATA_HOME not used"

after=$(cd "$root" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "the installation changed: $(diff <(echo "$before") <(echo "$after") | head)"
echo "installed layout and data folder as expected"
