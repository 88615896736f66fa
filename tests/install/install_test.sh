#!/usr/bin/env bash
# Installs to a temporary prefix, starts the installed program through its link on Xvfb, and
# checks that reinstalling and uninstalling leave the person's face lists alone.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/desktop.sh"
prefix="$work/prefix"

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
(cd "$work" && exec "$prefix/bin/nikomaru") &
pid=$!
window=$(window_named Nikomaru) || window=""
check_now "the installed program starts" [ -n "$window" ]
if [ -n "$window" ]; then
  activate "$window"
  xdotool key --clearmodifiers Down Home Return
  check "it shows the lists beside it" clipboard_is "mine"
  # Edit and save: the first face to the pool, OK; the lists beside it are the user's to write.
  xdotool key --clearmodifiers Tab Tab Return
  editor=$(window_named "Nikomaru リスト編集") && activate "$editor" && xdotool key --clearmodifiers Home Tab Tab Return
  [ -n "$editor" ] && click_ok "$editor"
  check "OK saves beside the program" cmp -s "$lists/kaolist2.txt" <(printf 'second\r\n')
fi
kill "$pid" 2>/dev/null; eventually ended; pid=""
(cd "$work" && exec "$prefix/bin/nikomaru") &
pid=$!
window=$(window_named Nikomaru) && activate "$window" && xdotool key --clearmodifiers Down Home Return
check "after a restart it shows the saved list" clipboard_is "second"
kill "$pid" 2>/dev/null; eventually ended; pid=""

cmake --install "$build" --prefix "$prefix" >/dev/null
check "reinstalling keeps the person's list" cmp -s "$lists/kaolist2.txt" <(printf 'second\r\n')
(cd "$build" && cmake --build . --target uninstall >/dev/null)
check "uninstalling removes the program" test ! -e "$lists/nikomaru" -a ! -L "$prefix/bin/nikomaru"
check "uninstalling removes the desktop entry" test ! -e "$prefix/share/applications/nikomaru.desktop"
check "uninstalling leaves the lists" test -f "$lists/kaolist1.txt" -a -f "$lists/kaolist2.txt"

finish
