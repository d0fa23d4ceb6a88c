#!/usr/bin/env bash
# Static analysis of every Linux-built source of the project with the repository's
# .clang-tidy files; any finding fails the run.
#
#   scripts/tidy.sh BUILD_FOLDER [SOURCES [HEADERS]]
#
# BUILD_FOLDER holds compile_commands.json; SOURCES, a regular expression of folders under the
# root, narrows the run, and HEADERS names the headers analysed with them (the Windows build's
# commands are read for its own folders and headers).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: scripts/tidy.sh BUILD_FOLDER}" && pwd)
runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14)

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Sources only, not what the build generates or fetches.
status=0
sources=${2:-(src|platform|apps|tools|tests|bench)}
"$runner" -p "$build" -j "$(nproc)" -quiet ${3:+"-header-filter=$3"} "^$root/(?!tests/build/)$sources/" \
  >"$log" 2>&1 || status=$?
if grep -qE "(error|warning):" "$log"; then
  grep -E "(error|warning):" "$log" | sed 's/\x1b\[[0-9;]*m//g' | sort -u
  echo "clang-tidy: findings above"
  exit 1
fi
if ((status != 0)); then
  tail -n 30 "$log"
  echo "clang-tidy did not finish"
  exit 1
fi
echo "clang-tidy: clean"
