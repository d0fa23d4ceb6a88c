#!/bin/sh
# Makes the private wine prefix of the tests once; later runs find it ready.
#   init_prefix.sh WINEBOOT WINE [WINE32]
# With WINE32 (wine's 32-bit side is installed) the prefix must hold the 32-bit programs.
set -e
wow64="$WINEPREFIX/drive_c/windows/syswow64/cscript.exe"
# A prefix made before that side was installed cannot be updated to it (wine cannot load its
# 32-bit kernel32 there): the prefix is the tests' own, so it is made anew.
if [ -n "${3:-}" ] && [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$wow64" ]; then
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$1" -i
  # wineboot returns before the registry is written out; wait for the server to finish.
  wineserver -w
  test -f "$WINEPREFIX/system.reg"
fi
if [ -n "${3:-}" ]; then
  test -f "$wow64"
fi
# The runner and the player's tests show their windows on a desktop of wine's own: the tests'
# screen has no window manager, and on a bare X server a window waits for one when hidden, and
# focus changes that arrive late from the server close open menus.
for program in kavelmor.exe win32_player_test.exe; do
  if ! grep -qF "AppDefaults\\\\$program\\\\Explorer" "$WINEPREFIX/user.reg"; then
    "$2" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\Explorer" /v Desktop \
      /d KavelmorTests /f >/dev/null
  fi
done
if ! grep -qF 'KavelmorTests"="1280x1024' "$WINEPREFIX/user.reg"; then
  "$2" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v KavelmorTests /d 1280x1024 /f \
    >/dev/null
fi
wineserver -w
