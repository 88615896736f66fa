# Sourced by the real-desktop test scripts: a virtual display, a work folder, the program's pid,
# all ended and removed on exit, and check() counting failures.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/virtual-display.sh"

work=$(mktemp -d)
pid=""
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

check() {  # check "what" command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Prints the id of the visible window with this exact title, waiting up to 10 s.
window_named() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

finish() {
  echo "$failures failed"
  [ "$failures" -eq 0 ]
}
