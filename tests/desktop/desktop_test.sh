#!/usr/bin/env bash
# Installs to a temporary prefix and uses the installed program on Xvfb with openbox, as a person
# who may not write to its folder: what the offscreen tests cannot see (window manager hints,
# always on top, the clipboard seen by other programs, pasting, the person's own lists, the face
# typed into the window the person came from), then reinstalls and uninstalls around the lists
# beside the program.
# Usage: desktop_test.sh BUILD_DIR TYPING_TARGET
set -uo pipefail
build=$(cd "$1" && pwd)
typing_target=$2
source "$(dirname "$0")/../support/desktop.sh"

prefix="$work/prefix"
lists="$prefix/lib/nikomaru"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
check_now "the desktop entry starts the installed program" \
  grep -qx "Exec=$prefix/bin/nikomaru" "$prefix/share/applications/nikomaru.desktop"
printf '(^_^)\r\n\x82\xa0\x82\xa2\r\n\xc9\xbc\r\n' > "$lists/kaolist2.txt"   # (^_^) あい ﾉｼ
printf 'pool\r\n' > "$lists/kaolist1.txt"
[ "$(id -u)" -eq 0 ] || chmod -R a-w "$lists"

start_program() {  # through the bin link, from another folder
  (cd "$work" && exec "${person[@]}" "$prefix/bin/nikomaru") &
  pid=$!
  main=$(window_named Nikomaru) || { echo "FAILED: the main window did not appear"; exit 1; }
  activate "$main"
}
keys() { xdotool key --clearmodifiers "$@"; }
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
placed_by_wm() { ! xprop -id "$1" WM_NORMAL_HINTS | grep -q 'specified location'; }
active_is() {  # the named window has the focus (a box's title is the program's title too)
  [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ] && [ "$(xdotool getactivewindow)" != "${2:-}" ]
}

start_virtual_display
start_program
check "the window manager places the window" placed_by_wm "$main"

# Focus starts on the list: Ctrl+C with nothing selected copies nothing; Home selects the first
# face, Down the next, Enter copies it; Ctrl+C copies it too.
printf 'before' | xclip -selection clipboard
check "another program owns the clipboard" clipboard_is "before"
keys ctrl+c
check "Ctrl+C without a selection empties the clipboard" clipboard_is ""
keys Home Down Return
check "the copied face is read back by another program" clipboard_is "あい"
keys Down ctrl+c
check "Ctrl+C copies the selected face" clipboard_is "ﾉｼ"

# Shift+Tab reaches the check box; Space checks it.
keys shift+Tab space
check "always on top is seen by the window manager" above
keys space
check "clearing the box makes it an ordinary window again" eval '! above'
keys space alt+F4
check "closing the window ends the program" ended

start_program
check "restarted with the option on, the window is on top" above

# A face that is not on the keyboard arrives as a person's would: pasted from the clipboard.
face='ʕ•ᴥ•ʔ♡'
printf '%s' "$face" | xclip -selection clipboard
check "the clipboard holds the face" clipboard_is "$face"
keys Tab Tab Return   # faces -> コピー -> 編集
if check_now "編集 opens the list editor" eval 'editor=$(window_named "Nikomaru リスト編集") && activate "$editor"'; then
  check "the window manager places the editor" placed_by_wm "$editor"
  keys Tab Tab Tab Tab Return                 # poolList, 削除>>, <<追加, 新しく作る
  check "新しく作る asks for a face" active_is Nikomaru "$editor"
  keys ctrl+v Return
  check "the face is in the pool" active_is "Nikomaru リスト編集"
  xdotool mousemove --window "$editor" 127 357 click 1   # OK: tabbing there would cross 上に and 下に, enabled on a timer
  saved="$home/data/Nikomaru"
  check "OK saves the pool in the person's data folder, as UTF-8 with the new face" \
    bash -c "head -c 3 '$saved/kaolist1.txt' | cmp -s - <(printf '\xef\xbb\xbf') && grep -q '$face' '$saved/kaolist1.txt'"
fi
kill "$pid" 2>/dev/null; eventually ended; pid=""

# From now on the person's own lists are read. A text box was in front before Nikomaru started.
printf '\xef\xbb\xbf%s\r\n%s\r\n' 'ʕ•ᴥ•ʔ' '（´・ω・｀）' > "$home/data/Nikomaru/kaolist2.txt"
"$typing_target" "$work/typed" &
typing=$!
box=$(window_named typing) && activate "$box"
start_program
keys Home Return
check "the person's own list is shown" clipboard_is "ʕ•ᴥ•ʔ"
typed_is() { [ "$(cat "$work/typed" 2>/dev/null)" = "$1" ]; }
keys shift+Return
check_now "Shift+Enter with no other window active since the start only copies" eval 'typed_is "" && ! active_is typing'
activate "$box" && activate "$main"
keys shift+Return
check "Shift+Enter types the face into the window active before" typed_is 'ʕ•ᴥ•ʔ'
check "that window has the focus" active_is typing
activate "$main"
keys Down shift+Return
check "a face off the keyboard arrives whole" typed_is 'ʕ•ᴥ•ʔ（´・ω・｀）'
kill "$typing" "$pid" 2>/dev/null; eventually ended; pid=""

# The starter lists are installed only where there are none: the lists beside the program stay.
chmod -R u+w "$lists"
cmake --install "$build" --prefix "$prefix" >/dev/null
check_now "reinstalling keeps the lists beside the program" cmp -s "$lists/kaolist1.txt" <(printf 'pool\r\n')
(cd "$build" && cmake --build . --target uninstall >/dev/null)
check_now "uninstalling removes the program and its entry" \
  test ! -e "$lists/nikomaru" -a ! -L "$prefix/bin/nikomaru" -a ! -e "$prefix/share/applications/nikomaru.desktop"
check_now "uninstalling leaves the lists" test -f "$lists/kaolist1.txt" -a -f "$lists/kaolist2.txt"
finish
