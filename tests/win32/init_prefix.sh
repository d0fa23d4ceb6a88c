#!/bin/sh
# Makes the private wine prefix of the tests once; later runs find it ready.
set -e
if [ -f "$WINEPREFIX/system.reg" ]; then
  exit 0
fi
"$1" -i
# wineboot returns before the registry is written out; wait for the server to finish.
wineserver -w
test -f "$WINEPREFIX/system.reg"
