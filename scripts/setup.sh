#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Idempotent: does nothing when all are present. Runs as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libgl-dev libudev-dev
  libqcustomplot-dev libqcustomplot2.1-qt6 qt6-charts-dev libqt6opengl6-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation2 xvfb xauth
  clang libclang-rt-14-dev lld
  libqt6sql6-sqlite libqt6sql6-psql postgresql sqlite3
  dpkg-dev fakeroot file lintian man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
