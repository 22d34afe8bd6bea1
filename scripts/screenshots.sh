#!/usr/bin/env bash
# Renders the README's pictures (docs/images/) from the program itself:
# the vantor menu and a platen run, the pellam menu and a print preview, the
# station window after a passing and a failing unit, and the plot of a
# 100,000-pulse platen run, against the simulated printer, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target screenshots pellam_screenshots station_screenshots plot_screenshots
build/bin/screenshots sample docs/images
build/bin/pellam_screenshots sample docs/images
build/bin/station_screenshots sample docs/images
build/bin/plot_screenshots sample docs/images
