#!/bin/sh
# Fuzzes the project-file reader (planner settings included) and the risk definitions (parse, check, a 20-iteration run)
# with libFuzzer, each for the given number of seconds (default 600), starting from the files in
# tests/data and the examples.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON \
  -DVELMORA_GUI=OFF -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_project_file fuzz_risk_definitions
mkdir -p build-fuzz/corpus build-fuzz/risk-corpus
cp tests/data/*.vlm examples/*.vlm build-fuzz/corpus/
cp tests/data/*.json tests/data/risk-corpus/* examples/*.json build-fuzz/risk-corpus/
build-fuzz/fuzz/fuzz_project_file -max_total_time="$seconds" -max_len=200000 -print_final_stats=1 \
  build-fuzz/corpus
build-fuzz/fuzz/fuzz_risk_definitions -max_total_time="$seconds" -max_len=20000 \
  -print_final_stats=1 build-fuzz/risk-corpus
