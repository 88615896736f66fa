# Sourced by the real-desktop test scripts: a virtual display, a work folder, the program's pid,
# all ended and removed on exit, and check() counting failures. Every wait is bounded.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/virtual-display.sh"

work=$(mktemp -d)
home="$work/home"  # the person's: settings and data folders
mkdir -m 700 "$home"
pid=""
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  stop_virtual_display
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# "${person[@]}" program: the person starts it; root's tests run it as nobody, like any user who
# may not write to the folder of an installed program.
person=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  chown nobody "$home"
  person=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

check_now() {  # check_now "what" command...: the command must succeed now
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); return 1; fi
}
check() { check_now "$1" eventually "${@:2}"; }  # the command must hold within 10 s
eventually() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }

# Prints the id of the visible window with this exact title, waiting up to 10 s.
window_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window_named() { eventually window_id "$1" >/dev/null && window_id "$1"; }
activate() { xdotool windowactivate --sync "$1" >/dev/null 2>&1; }
clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
ended() { ! kill -0 "$pid" 2>/dev/null; }

finish() { echo "$failures failed"; [ "$failures" -eq 0 ]; }
