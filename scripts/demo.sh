#!/usr/bin/env bash
# The main job: a demo session on the built-in flashing database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKVM_BUILD_TESTS=OFF \
  -DKVM_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target kavelmor
build/release/apps/kavelmor/kavelmor demo "$@"
