# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the install tests (sourced): a private X server with a window manager, the
# processes to end on exit, and waiting for the program's main window.
#   ROOT must name the test's temporary folder; cleanup_extra may be defined by the caller.
PIDS=()
end_processes() {
  local p
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  sleep 0.3
  for p in "${PIDS[@]}"; do kill -9 "$p" 2>/dev/null || true; done
}

need_tools() {
  local t missing=()
  for t in "$@"; do command -v "$t" >/dev/null || missing+=("$t"); done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: missing ${missing[*]} (scripts/setup.sh installs them)"
    exit 77
  fi
}

start_x() {
  local disp=$((300 + $$ % 300))
  while [ -e /tmp/.X$disp-lock ] || [ -e /tmp/.X11-unix/X$disp ]; do disp=$((disp + 1)); done
  export DISPLAY=:$disp
  Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >"$ROOT/xvfb.out" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$disp ] && break; sleep 0.1; done
  openbox >"$ROOT/openbox.out" 2>&1 &
  PIDS+=($!)
  sleep 0.5
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
}

# The visible main window of process $1 (the widest one named Alarm), waiting up to $2 s.
main_window() {
  local w best= width bestw=0
  for _ in $(seq $((${2:-20} * 5))); do
    for w in $(xdotool search --all --onlyvisible --pid "$1" --name '^Alarm$' 2>/dev/null); do
      width=$(xdotool getwindowgeometry "$w" | awk '/Geometry/ { split($2, a, "x"); print a[1] }')
      if [ "${width:-0}" -gt "$bestw" ]; then bestw=$width; best=$w; fi
    done
    [ -n "$best" ] && { echo "$best"; return 0; }
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

fail() {
  echo "FAILED: $*"
  exit 1
}
