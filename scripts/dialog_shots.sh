#!/usr/bin/env bash
# Pictures of every dialog on a real (virtual) screen: starts Xvfb, shows the dialogs under
# wine in a Chinese locale and saves them as docs/dialogs/NAME.png.
#
#   scripts/dialog_shots.sh [WINDOWS_BIN_FOLDER]
#
# The folder holds the cross build's dialog_shots.exe (default: build/windows/bin, where the
# Linux build puts its Windows half).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$root/build/windows/bin}" && pwd)
out=$root/docs/dialogs
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses.
display=90
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [[ -e /tmp/.X11-unix/X$display ]] && break
  sleep 0.1
done

export DISPLAY=":$display" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${KVM_SHOTS_PREFIX:-$work/prefix} WINEDLLOVERRIDES=mscoree,mshtml=
wineboot --init >/dev/null 2>&1 || true
wineserver -w
# The caption buttons are glyphs of Marlett. This wine does not look for its own fonts where
# the distribution keeps them, so the prefix gets a copy.
for font in /usr/share/wine/fonts/marlett.ttf; do
  if [[ -f $font ]]; then cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"; fi
done

# A desktop of wine's own draws the windows' captions and borders, which a bare X server has
# nobody to draw.
wine explorer /desktop=kavelmor,1280x800 "$bin/dialog_shots.exe" "$(winepath -w "$work/shots")" 2>"${KVM_SHOTS_LOG:-$work/wine.log}" || {
  cat "$work/wine.log" >&2
  exit 1
}

mkdir -p "$out"
for bmp in "$work"/shots/*.bmp; do
  name=$(basename "$bmp" .bmp)
  python3 "$root/scripts/bmp_to_png.py" "$bmp" "$out/$name.png"
  echo "docs/dialogs/$name.png"
done
