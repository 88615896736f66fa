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

window_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

start_program() {
  (cd "$work/elsewhere" && exec "$app/nikomaru") &
  pid=$!
  main=$(window_named Nikomaru) || { echo "FAILED: the main window did not appear"; exit 1; }
  xdotool windowactivate --sync "$main" >/dev/null 2>&1
  sleep 0.3
}

above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above "$1"; }
clipboard_is() { local got; got=$(xclip -o -selection clipboard 2>/dev/null); [ "$got" = "$1" ] || { echo "  clipboard holds: $got"; return 1; }; }
settle() { sleep 0.3; }
keys() { xdotool key --clearmodifiers "$@"; settle; }

start_virtual_display

start_program
hints=$(xprop -id "$main" WM_NORMAL_HINTS)
check "size hints fix the window at 106 x 300" \
  grep -q "minimum size: 106 by 300" <<<"$hints"
check "the window cannot be resized" grep -q "maximum size: 106 by 300" <<<"$hints"
check "not on top at first start" not_above "$main"

# Focus starts on the list: Home selects the first face, Down the next, Enter copies it.
keys Home Down Return
check "the copied face is read back by another program" clipboard_is "あい"

# Shift+Tab reaches the check box; Space checks it.
keys shift+Tab space
check "always on top is seen by the window manager" above "$main"
check "the window was changed in place, not re-created" \
  [ "$(xdotool search --onlyvisible --name '^Nikomaru$' | head -n 1)" = "$main" ]
keys space
check "clearing the box makes it an ordinary window again" not_above "$main"
keys space

keys alt+F4
check "closing the window ends the program" window_gone Nikomaru
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
check "the program has ended" bash -c "! kill -0 $pid 2>/dev/null"
check "the option is stored as True" grep -q '^Check=True$' "$XDG_CONFIG_HOME/Nikomaru/Nikomaru.conf"

start_program
check "restarted with the option on, the window is on top" above "$main"

# The editor: move the second face up, OK, and the main window shows the new order.
keys Tab Tab Return   # List1 -> コピー -> 編集
editor=$(window_named "Nikomaru リスト編集") || editor=""
check "編集 opens the list editor" [ -n "$editor" ]
if [ -n "$editor" ]; then
  xdotool windowactivate --sync "$editor" >/dev/null 2>&1; settle
  keys Home Down                       # select the second face of the current list
  keys Tab Tab Tab Tab Tab Return      # List2, 削除>>, <<追加, 新しく作る, 上に -> Return
  # 上に is now disabled (the face is first), which moved the focus on to 下に.
  keys Tab Tab Return                  # リストから抹消, OK -> Return
  check "OK closes the editor" window_gone "Nikomaru リスト編集"
  check "OK writes the new order" \
    cmp -s "$app/kaolist2.txt" <(printf '\x82\xa0\x82\xa2\r\n(^_^)\r\n\xc9\xbc\r\n')
  main=$(window_named Nikomaru) || main=""
  check "the main window is shown again" [ -n "$main" ]
  if [ -n "$main" ]; then
    xdotool windowactivate --sync "$main" >/dev/null 2>&1; settle
    keys Down Home Return
    check "the main window shows the new order" clipboard_is "あい"
    check "the option survives the reload" above "$main"
  fi
fi

active_is() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ]; }
wait_active() {  # the named window has the focus (a box's title is the program's title too)
  for _ in $(seq 100); do active_is "$1" && [ "$(xdotool getactivewindow)" != "${2:-}" ] && return 0; sleep 0.1; done
  return 1
}
open_editor() {
  main=$(window_named Nikomaru) || return 1
  xdotool windowactivate --sync "$main" >/dev/null 2>&1; settle
  keys Tab Tab Return   # List1 -> コピー -> 編集
  editor=$(window_named "Nikomaru リスト編集") || return 1
  xdotool windowactivate --sync "$editor" >/dev/null 2>&1; settle
}

# A face code page 932 cannot hold is kept whole, also after a restart and another save.
face='ʕ•ᴥ•ʔ♡'
if open_editor; then
  keys Tab Tab Tab Tab Return           # List2, 削除>>, <<追加, 新しく作る -> Return
  check "新しく作る asks for a face" wait_active Nikomaru "$editor"
  xdotool type --delay 50 "$face"; settle
  keys Return
  check "the face is in the pool" wait_active "Nikomaru リスト編集"
  keys Tab Tab Tab Tab Return           # 上に, 下に, リストから抹消, OK -> Return
  window_gone "Nikomaru リスト編集"
  check "the pool is written as UTF-8 with the new face" \
    bash -c "head -c 3 '$app/kaolist1.txt' | cmp -s - <(printf '\xef\xbb\xbf') && grep -q '$face' '$app/kaolist1.txt'"
fi
main=$(window_named Nikomaru) && xdotool windowactivate --sync "$main" >/dev/null 2>&1 && keys alt+F4
window_gone Nikomaru
wait "$pid" 2>/dev/null
start_program
if open_editor; then
  keys Tab Tab Tab Tab Tab Tab Tab Tab Return   # List2, 削除>>, <<追加, 新しく作る, 上に, 下に, 抹消, OK
  window_gone "Nikomaru リスト編集"
  check "after a restart and another save the face is intact" grep -q "$face" "$app/kaolist1.txt"
fi

# Import a file: the message, then the file dialog, then its lines end the pool.
printf 'imported one\r\nimported two\r\n' > "$work/elsewhere/more.txt"
if open_editor; then
  keys shift+Tab shift+Tab Return       # List1 <- バージョン情報 <- インポート
  check "インポート tells what it will do" wait_active Nikomaru "$editor"
  keys Return
  dialog=""
  for _ in $(seq 100); do
    dialog=$(xdotool getactivewindow 2>/dev/null)
    [ -n "$dialog" ] && [ "$dialog" != "$editor" ] && ! active_is Nikomaru && break
    dialog=""; sleep 0.1
  done
  check "the file dialog opens" [ -n "$dialog" ]
  xdotool type --delay 20 "more.txt"; settle   # it opens in the current folder
  keys Return
  check "back in the editor" wait_active "Nikomaru リスト編集"
  keys shift+Tab shift+Tab Return       # インポート <- キャンセル <- OK
  window_gone "Nikomaru リスト編集"
  check "the imported lines end the pool" \
    bash -c "tail -c 28 '$app/kaolist1.txt' | cmp -s - <(printf 'imported one\r\nimported two\r\n')"
fi

# Cancel after edits leaves both files byte for byte.
cp "$app/kaolist1.txt" "$work/pool.before"; cp "$app/kaolist2.txt" "$work/current.before"
if open_editor; then
  keys Down Home Tab Tab Return         # select the first face, 削除>> -> Return
  keys Tab Tab Tab Tab Tab Tab Tab Return   # <<追加 ... OK, キャンセル -> Return
  check "キャンセル closes the editor" window_gone "Nikomaru リスト編集"
  check "キャンセル leaves the files byte for byte" \
    bash -c "cmp -s '$app/kaolist1.txt' '$work/pool.before' && cmp -s '$app/kaolist2.txt' '$work/current.before'"
fi

finish
