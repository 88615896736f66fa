#!/usr/bin/env bash
# Real-desktop checks on Xvfb with openbox: what the offscreen tests cannot see.
# Usage: desktop_test.sh path/to/nikomaru
set -uo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/desktop.sh"

app="$work/app"
mkdir -p "$app" "$work/config" "$work/elsewhere"
cp "$program" "$app/nikomaru"
printf '(^_^)\r\n\x82\xa0\x82\xa2\r\n\xc9\xbc\r\n' > "$app/kaolist2.txt"   # (^_^) あい ﾉｼ
printf 'pool\r\n' > "$app/kaolist1.txt"
printf 'imported one\r\nimported two\r\n' > "$work/elsewhere/more.txt"

start_program() {
  (cd "$work/elsewhere" && exec "$app/nikomaru") &
  pid=$!
  main=$(window_named Nikomaru) || { echo "FAILED: the main window did not appear"; exit 1; }
  activate "$main"
}
keys() { xdotool key --clearmodifiers "$@"; }
above() { xprop -id "$main" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
active_is() {  # the named window has the focus (a box's title is the program's title too)
  [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ] && [ "$(xdotool getactivewindow)" != "${2:-}" ]
}
dialog_active() {  # a window of another title than the program's has the focus
  local w; w=$(xdotool getactivewindow 2>/dev/null) && [ -n "$w" ] && [ "$w" != "$editor" ] &&
    ! xdotool getwindowname "$w" | grep -q '^Nikomaru'
}
open_editor() {
  main=$(window_named Nikomaru) && activate "$main" && keys Tab Tab Return   # faces -> コピー -> 編集
  editor=$(window_named "Nikomaru リスト編集") && activate "$editor"
}
editor_hints_free() { ! xprop -id "$editor" WM_NORMAL_HINTS | grep -q 'specified location'; }

start_virtual_display
start_program
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
check "the window is fixed at 106 x 300" grep -q "minimum size: 106 by 300" <<<"$hints"
check "the window cannot be resized" grep -q "maximum size: 106 by 300" <<<"$hints"
check "the window manager places the window" bash -c "! grep -q 'specified location' <<<'$hints'"
check "not on top at first start" not_above

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
check "the window was changed in place, not re-created" \
  [ "$(xdotool search --onlyvisible --name '^Nikomaru$' | head -n 1)" = "$main" ]
keys space
check "clearing the box makes it an ordinary window again" not_above
keys space alt+F4
check "closing the window ends the program" ended
check "the option is stored as True" grep -q '^Check=True$' "$XDG_CONFIG_HOME/Nikomaru/Nikomaru.conf"

start_program
check "restarted with the option on, the window is on top" above

# The editor: move the first face to the pool, OK, and the main window shows the new list.
if check_now "編集 opens the list editor" open_editor; then
  check "the window manager places the editor" editor_hints_free
  keys Home Tab Tab Return                    # the first face; poolList, 削除>>
  click_ok "$editor"
  check "OK closes the editor" gone "Nikomaru リスト編集"
  check "OK writes the list" cmp -s "$app/kaolist2.txt" <(printf '\x82\xa0\x82\xa2\r\n\xc9\xbc\r\n')
  main=$(window_named Nikomaru) && activate "$main"
  keys Down Home Return
  check "the main window shows the new list" clipboard_is "あい"
  check "the option survives the reload" above
fi

# A face that is not on the keyboard arrives as a person's would: pasted from the clipboard.
face='ʕ•ᴥ•ʔ♡'
printf '%s' "$face" | xclip -selection clipboard
check "the clipboard holds the face" clipboard_is "$face"
if open_editor; then
  keys Tab Tab Tab Tab Return                 # poolList, 削除>>, <<追加, 新しく作る
  check "新しく作る asks for a face" active_is Nikomaru "$editor"
  keys ctrl+v Return
  check "the face is in the pool" active_is "Nikomaru リスト編集"
  click_ok "$editor"
  check "the pool is written as UTF-8 with the new face" \
    bash -c "head -c 3 '$app/kaolist1.txt' | cmp -s - <(printf '\xef\xbb\xbf') && grep -q '$face' '$app/kaolist1.txt'"
fi

# Import a file: the message, then the file dialog in the current folder, then its lines end the pool.
if open_editor; then
  keys shift+Tab shift+Tab Return             # faces <- バージョン情報 <- インポート
  check "インポート tells what it will do" active_is Nikomaru "$editor"
  keys Return
  check "the file dialog opens" dialog_active
  xdotool type --delay 20 "more.txt"
  keys Return
  check "back in the editor" active_is "Nikomaru リスト編集"
  keys shift+Tab shift+Tab Return             # インポート <- キャンセル <- OK
  check "the imported lines end the pool" \
    bash -c "tail -c 28 '$app/kaolist1.txt' | cmp -s - <(printf 'imported one\r\nimported two\r\n')"
fi

finish
