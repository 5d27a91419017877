#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual board and then the tool.
# Without a display the two run on a virtual one, and a screenshot of it is
# written every few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

./build/tarnwick-board --link /tmp/tarnwick-board > /tmp/tarnwick-board.log 2>&1 &
pids+=($!)
sleep 0.5
echo "Virtual board on $(head -n 1 /tmp/tarnwick-board.log) (also /tmp/tarnwick-board);"
echo "pick it in the port dialog."

if [ -z "${DISPLAY:-}" ]; then
  . scripts/virtual-display.sh
  start_virtual_display 1600x900
  # Windows mapped before the window manager is ready are never shown.
  scripts/wait-window-manager.sh || true
  shot=/tmp/tarnwick-screen.png
  ( while sleep 3; do import -window root "$shot.new.png" 2>/dev/null && mv "$shot.new.png" "$shot"; done ) &
  pids+=($!)
  echo "No display: the tool runs on the virtual display $DISPLAY."
  echo "A screenshot of it is written to $shot every 3 seconds;"
  echo "drive it with e.g. DISPLAY=$DISPLAY xdotool key Return. Ctrl+C ends it."
fi

./build/tarnwick
