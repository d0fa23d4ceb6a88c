#!/usr/bin/env bash
# Runs a command on the screen the fixture started (see xvfb_fixture.sh).
#
#   with_screen.sh STATE_FILE COMMAND [ARGS...]
set -euo pipefail
state=$1
shift
read -r display _ <"$state"
DISPLAY=$display exec "$@"
