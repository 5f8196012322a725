#!/bin/sh
# Builds and runs every test: the core and CLI tests (also under a decimal-comma locale), the GUI
# tests offscreen, a staged install checked file by file, the core tests again under
# AddressSanitizer + UndefinedBehaviorSanitizer, a short run of the project-file fuzzer, and the
# Windows build under Wine, its answers compared with the Linux build's.
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
scripts/check-install.sh build

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON \
  -DVELMORA_GUI=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-sanitize --target velmora_core_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-sanitize/tests/velmora_core_tests --gtest_brief=1

scripts/fuzz.sh "${VELMORA_FUZZ_SECONDS:-30}"
scripts/test-windows.sh
echo "test: all passed"
