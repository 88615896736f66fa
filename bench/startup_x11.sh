#!/usr/bin/env bash
# Runs startup_x11.py on its own Xvfb with openbox. Usage: startup_x11.sh NIKOMARU BARE_WINDOW
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tools/virtual-display.sh"
trap stop_virtual_display EXIT
start_virtual_display
unset WAYLAND_DISPLAY
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$(mktemp -d) /usr/bin/python3 "$here/startup_x11.py" "$@"
