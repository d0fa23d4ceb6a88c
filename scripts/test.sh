#!/usr/bin/env bash
# Builds everything and runs every test: the Linux suite under AddressSanitizer and
# UndefinedBehaviorSanitizer (host scripts included), the Windows build under wine, static
# analysis, and the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# The sources as clang-format writes them.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "clang-format: every source formatted"

jobs=$(nproc)
build=build/asan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVM_SANITIZE=ON >/dev/null
# The build exposes to each module only the headers of what it links; the links themselves
# must run one way.
python3 scripts/check_layering.py "$build/module_graph.txt"
cmake --build "$build" -j "$jobs"
# Any failure fails the run, except that a host script picking a context menu under wine is
# run once more: the menus are picked by keys while the X server delivers its own events, and
# on a loaded machine a pick now and then lands on a neighbouring item. Its first failure stays
# in the log.
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE wine_menu_pick
ctest --test-dir "$build" --output-on-failure -j "$jobs" -L wine_menu_pick \
  --repeat until-pass:2

# Static analysis of the same sources, and of the Windows sources from the cross build's
# commands, read as clang reads them.
scripts/tidy.sh "$build"
python3 scripts/windows_compile_commands.py "$build/windows" "$build/windows-tidy"
scripts/tidy.sh "$build/windows-tidy" '(platform/win32|apps/kavelmor/win32)' 'platform/win32/.*'

# Fuzz every parser of outside input for a bounded time; a finding fails the run, and so does
# one input that keeps a parser busy for a minute.
fuzz=build/fuzz
CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVM_BUILD_FUZZ=ON \
  -DKVM_SANITIZE=ON -DKVM_BUILD_TESTS=OFF -DKVM_BUILD_BENCH=OFF >/dev/null
cmake --build "$fuzz" -j "$jobs" --target fuzz_targets
for target in "$fuzz"/fuzz/kvm_fuzz_*; do
  name=$(basename "$target")
  corpus="$fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "Fuzzing $name for ${KVM_FUZZ_SECONDS:-30} s"
  "$target" -max_total_time="${KVM_FUZZ_SECONDS:-30}" -timeout=60 -print_final_stats=1 "$corpus" \
    "fuzz/corpus/${name#kvm_fuzz_}" 2>&1 | tail -3
done
echo "fuzzing: no findings"

# The README's main job must keep working: the demo, built as the demo script builds it.
mkdir -p build
if ! scripts/demo.sh -o build/demo-check >build/demo-check.log 2>&1; then
  tail -n 60 build/demo-check.log
  exit 1
fi
for output in bill.dxf cutlist.csv coil.csv shop.pdf; do test -s "build/demo-check/$output"; done
echo "demo: bill.dxf, cutlist.csv, coil.csv and shop.pdf written"
