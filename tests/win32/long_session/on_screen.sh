#!/usr/bin/env bash
# on_screen.sh STATE_FILE COMMAND...: runs the command on the display that the screen fixture
# started (STATE_FILE holds ":N PID").
set -euo pipefail
read -r display _ <"$1"
shift
DISPLAY=$display exec "$@"
