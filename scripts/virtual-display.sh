# Sourced by the scripts that need a display of their own. start_virtual_display
# SIZE (e.g. 1600x900) starts Xvfb, which picks a free display number, and
# openbox on it, exports DISPLAY and adds both processes to the caller's
# array pids. Waiting for the window manager is the caller's, with the
# patience it needs (scripts/wait-window-manager.sh).
start_virtual_display() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1}x24" 3>"$number_file" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$number_file" ] && break; sleep 0.1; done
  if [ ! -s "$number_file" ]; then
    rm -f "$number_file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$number_file")"
  rm -f "$number_file"
  openbox >/dev/null 2>&1 &
  pids+=($!)
}
