#!/usr/bin/env bash
# Installs to a temporary prefix, starts the installed program through its link on Xvfb, and
# checks that reinstalling and uninstalling leave the person's face lists alone.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/virtual-display.sh"

work=$(mktemp -d)
prefix="$work/prefix"
pid=""
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
check() {
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
lists="$prefix/lib/nikomaru"
check "the program and the starter lists sit together" \
  test -x "$lists/nikomaru" -a -f "$lists/kaolist1.txt" -a -f "$lists/kaolist2.txt"
check "bin/nikomaru links to it" test "$(readlink -f "$prefix/bin/nikomaru")" = "$lists/nikomaru"
check "the desktop entry is valid" desktop-file-validate "$prefix/share/applications/nikomaru.desktop"
check "the desktop entry starts the installed program" \
  grep -qx "Exec=$prefix/bin/nikomaru" "$prefix/share/applications/nikomaru.desktop"
check "the icon is in the hicolor theme" test -f "$prefix/share/icons/hicolor/32x32/apps/nikomaru.png"

# Started through the link, from another folder, it shows the installed lists.
printf 'mine\r\nsecond\r\n' > "$lists/kaolist2.txt"
start_virtual_display
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
(cd "$work" && exec "$prefix/bin/nikomaru") &
pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Nikomaru$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
check "the installed program starts" [ -n "$window" ]
if [ -n "$window" ]; then
  xdotool windowactivate --sync "$window" >/dev/null 2>&1; sleep 0.3
  xdotool key --clearmodifiers Down Home Return; sleep 0.3
  check "it shows the lists beside it" [ "$(xclip -o -selection clipboard 2>/dev/null)" = "mine" ]
fi
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=""

cmake --install "$build" --prefix "$prefix" >/dev/null
check "reinstalling keeps the person's list" cmp -s "$lists/kaolist2.txt" <(printf 'mine\r\nsecond\r\n')
(cd "$build" && cmake --build . --target uninstall >/dev/null)
check "uninstalling removes the program" test ! -e "$lists/nikomaru" -a ! -L "$prefix/bin/nikomaru"
check "uninstalling removes the desktop entry" test ! -e "$prefix/share/applications/nikomaru.desktop"
check "uninstalling leaves the lists" test -f "$lists/kaolist1.txt" -a -f "$lists/kaolist2.txt"

echo "$failures failed"
[ "$failures" -eq 0 ]
