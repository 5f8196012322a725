#!/bin/sh
# Builds Velmora and starts it on the default project (or on the project file given).
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/src/app/velmora "$@"
