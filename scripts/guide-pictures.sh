#!/usr/bin/env bash
# Renders every picture of the user guide (docs/guide/images/) from the
# programs themselves: each screen of vantor and pellam opened offscreen
# against the simulated printer, run where it runs, and saved as a PNG.
# No picture of the guide is made by hand; run this after a screen changes.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target vantor_guide_pictures pellam_guide_pictures
out=docs/guide/images
mkdir -p "$out"
# Pictures of screens that no longer exist must not linger; the pictures of
# the built site (site-*.png) are made by scripts/guide.sh --screenshots.
find "$out" -maxdepth 1 -name '*.png' ! -name 'site-*.png' -delete
build/bin/vantor_guide_pictures sample "$out"
build/bin/pellam_guide_pictures sample "$out"
du -sh "$out"
