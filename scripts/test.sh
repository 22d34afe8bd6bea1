#!/usr/bin/env bash
# Builds and runs every test (the normal build). Used by the README and CI.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
