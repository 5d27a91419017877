#!/usr/bin/env bash
# Waits until the window manager of $DISPLAY has announced itself on the root
# window, at most SECONDS (default 10). A window mapped before the manager has
# taken the display is never shown, and only the manager closes a window as
# the user does. Fails when none appeared in time.
set -euo pipefail
for _ in $(seq $(( ${1:-10} * 10 ))); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && exit 0
  sleep 0.1
done
echo "No window manager on $DISPLAY after ${1:-10} s." >&2
exit 1
