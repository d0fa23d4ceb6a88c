#!/usr/bin/env bash
# The modules depend one way: src <- platform <- apps, and the Windows platform never on the
# simulated host. Any include against that direction fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

found=0
# check FOLDER PATTERN: no source under FOLDER includes a header whose path matches PATTERN.
check() {
  local hits
  hits=$(grep -rnE --include='*.cpp' --include='*.h' "^#include \"($2)/" "$1" || true)
  if [[ -n $hits ]]; then
    echo "$hits"
    found=1
  fi
}
check src 'platform|apps'
check platform 'apps'
check platform/win32 'platform/sim'

if ((found)); then
  echo "layering: the includes above run against the modules' direction"
  exit 1
fi
echo "layering: every include follows the modules' direction"
