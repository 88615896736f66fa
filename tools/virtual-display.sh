# Sourced: start_virtual_display / stop_virtual_display run Xvfb with openbox on a free display
# number and export DISPLAY. Every wait is bounded; a display without its window manager fails.
start_virtual_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  # -noreset: without it the server resets when its readiness probe disconnects, and a window
  # manager connecting at that moment fails.
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  VD_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  VD_CONFIG=$(mktemp -d)
  mkdir -p "$VD_CONFIG/openbox"
  # The icon, the title and a close button only, as the program's windows have.
  sed 's|<titleLayout>.*</titleLayout>|<titleLayout>NLC</titleLayout>|' /etc/xdg/openbox/rc.xml > "$VD_CONFIG/openbox/rc.xml"
  openbox --config-file "$VD_CONFIG/openbox/rc.xml" >/dev/null 2>&1 &
  VD_WM_PID=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  echo "FAILED: no window manager came up on $DISPLAY" >&2
  stop_virtual_display
  exit 1
}

stop_virtual_display() {
  kill "${VD_WM_PID:-}" "${VD_XVFB_PID:-}" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "${VD_XVFB_PID:-}" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "${VD_WM_PID:-}" "${VD_XVFB_PID:-}" 2>/dev/null || true
  rm -rf "${VD_CONFIG:-}"
}
