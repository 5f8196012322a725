#!/bin/sh
# Fuzzes the project-file reader with libFuzzer for the given number of seconds (default 600).
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
  -DVELMORA_GUI=OFF -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_project_file
mkdir -p build-fuzz/corpus
cp tests/data/*.vlm build-fuzz/corpus/ 2>/dev/null || true
build-fuzz/fuzz/fuzz_project_file -max_total_time="$seconds" -max_len=200000 -print_final_stats=1 \
  build-fuzz/corpus
