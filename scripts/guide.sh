#!/usr/bin/env bash
# Builds the user guide (docs/guide/*.md) into one HTML site with a search
# box, with Sphinx and the MyST parser, into build/guide/html.
#   scripts/guide.sh                 build the site
#   scripts/guide.sh --screenshots   also picture two of its pages in headless
#                                    Chromium (docs/guide/images/site-*.png)
# The pictures of the screens come from scripts/guide-pictures.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

need=(python3-sphinx python3-myst-parser)
[ "${1:-}" = "--screenshots" ] && need+=(chromium)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

site=build/guide/html
rm -rf "$site"
# Debian's Python, where the packages above land (a python3 earlier on the
# PATH, a virtual environment say, would not see them).
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" -m sphinx -q -W --keep-going -b html docs/guide "$site"
echo "site: $site/index.html"

if [ "${1:-}" = "--screenshots" ]; then
  shoot() { # <page> <picture>
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,1600 \
      --screenshot="docs/guide/images/$2" "file://$PWD/$site/$1" 2>/dev/null
    echo "docs/guide/images/$2"
  }
  shoot index.html site-index.png
  shoot vantor/xy-cutter-life.html site-xy-cutter-life.png
fi
