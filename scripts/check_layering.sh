#!/usr/bin/env bash
# The modules depend one way: src <- platform <- apps, and the Windows platform never on the
# simulated host. Inside src the folders depend one way too, each on the folders named for it
# below. Any include against that direction fails the run.
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

# The folders of src from the bottom up, and what each may include besides itself. The canvas
# sits below the controls that draw on it and the preview above them; the session (the
# process's shared state and the LISP bridge) sits above the controls and below the dialogs;
# the component object sits on top.
declare -A allowed=(
  [base]=""
  [files]=""
  [dispatch]="base"
  [model]="base"
  [canvas]="base"
  [cutting]="base"
  [cutting/plan]=""
  [coil]="files base"
  [storage]="files model base"
  [ui]="canvas base"
  [shop]="coil model base"
  [preview]="ui canvas model base"
  [bill]="ui dispatch model base"
  [session]="ui dispatch base"
  [cutting/length_check]="session ui dispatch base"
  [billtools]="session storage ui dispatch base"
  [aliases]="session storage ui dispatch base"
  [settings]="aliases bill preview session storage model ui dispatch base"
  [host]="settings aliases billtools cutting/length_check bill session storage cutting ui
          dispatch base"
)

while IFS= read -r folder; do
  name=${folder#src/}
  if [[ ! -v allowed[$name] ]]; then
    echo "$folder: a folder of src without its place in scripts/check_layering.sh"
    found=1
    continue
  fi
  read -ra permitted <<<"$name ${allowed[$name]//$'\n'/ }"
  while IFS= read -r hit; do
    header=${hit#*#include \"}
    header=${header%%\"*}
    ok=0
    for other in "${permitted[@]}"; do
      [[ ${header%/*} == "$other" ]] && ok=1
    done
    if ((!ok)); then
      echo "$hit"
      found=1
    fi
  done < <(find "$folder" -maxdepth 1 \( -name '*.cpp' -o -name '*.h' \) -exec \
    grep -HnE '^#include "' {} + || true)
done < <(find src \( -name '*.cpp' -o -name '*.h' \) -printf '%h\n' | sort -u)

if ((found)); then
  echo "layering: the includes above run against the modules' direction"
  exit 1
fi
echo "layering: every include follows the modules' direction"
