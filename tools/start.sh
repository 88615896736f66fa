#!/usr/bin/env bash
# Installs what is missing, builds, and starts Nikomaru with the face lists beside it.
# Without a display, runs it on a virtual X display and saves a screenshot of the main window.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh run
cmake --preset dev >/dev/null
cmake --build --preset dev --target nikomaru -j"$(nproc)"
program=build/dev/bin/nikomaru

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running Nikomaru on a virtual X display."
tools/deps.sh headless
source tools/virtual-display.sh
start_virtual_display
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; stop_virtual_display' EXIT
window=""
for _ in $(seq 50); do
  window=$(xdotool search --onlyvisible --name '^Nikomaru$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { wait "$pid"; exit $?; }
  sleep 0.1
done
[ -n "$window" ] || { echo "The main window did not appear." >&2; exit 1; }
sleep 0.5
# The frame openbox draws belongs in the picture: take the window's parent.
frame=$(xwininfo -children -id "$window" | awk '/Parent window id/ {print $4}')
import -window "$frame" build/screenshot.png
echo "Screenshot of the main window: build/screenshot.png"
# Close it as a person would (openbox closes the active window on Alt+F4), so it stores its setting.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null || kill "$pid"
wait "$pid" || true
