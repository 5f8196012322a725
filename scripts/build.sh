#!/bin/sh
# Configures and builds everything into build/ (the application, the CLI, tests, benchmarks).
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BENCH=ON >/dev/null
cmake --build build
