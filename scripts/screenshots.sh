#!/bin/sh
# Renews the pictures in docs/ from the GUI tests (offscreen grabs of the real windows).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
VELMORA_SCREENSHOT_DIR="$PWD/docs" LC_ALL=C.UTF-8 ctest --test-dir build -R '^gui_' -E 'comma' --output-on-failure
