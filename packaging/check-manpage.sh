#!/usr/bin/env bash
# check-manpage.sh <page.1.gz>: the page renders, with no warning from the
# formatter, and has the sections a reader looks for.
set -euo pipefail
page=$1
[ -s "$page" ] || { echo "no manual page $page"; exit 1; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >/dev/null || true)
if [ -n "$warnings" ]; then
  echo "man -l $page warns:"; echo "$warnings"; exit 1
fi
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES; do
  grep -q "^$section" <<<"$text" || { echo "$page has no $section section"; exit 1; }
done
echo "$page renders"
