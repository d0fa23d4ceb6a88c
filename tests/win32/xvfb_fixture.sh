#!/usr/bin/env bash
# A virtual screen for the tests that show real windows under wine.
#
#   xvfb_fixture.sh start STATE_FILE   starts Xvfb on a free display; STATE_FILE gets ":N PID"
#   xvfb_fixture.sh stop STATE_FILE    stops it again
set -euo pipefail

action=$1
state=$2

case $action in
  start)
    display=90
    while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
      display=$((display + 1))
    done
    setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
      [[ -e /tmp/.X11-unix/X$display ]] && break
      sleep 0.1
    done
    if [[ ! -e /tmp/.X11-unix/X$display ]]; then
      echo "Xvfb did not start on :$display" >&2
      kill "$pid" 2>/dev/null || true
      exit 1
    fi
    echo ":$display $pid" >"$state"
    echo "Xvfb on :$display"
    ;;
  stop)
    if [[ -f $state ]]; then
      read -r _ pid <"$state"
      kill "$pid" 2>/dev/null || true
      rm -f "$state"
    fi
    ;;
  *)
    echo "usage: $0 start|stop STATE_FILE" >&2
    exit 2
    ;;
esac
