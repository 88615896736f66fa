#!/usr/bin/env bash
# Real-desktop checks on Xvfb with openbox: what the offscreen tests cannot see.
# Usage: desktop_test.sh path/to/nikomaru
set -uo pipefail
program=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/virtual-display.sh"

work=$(mktemp -d)
app="$work/app"
mkdir -p "$app" "$work/config" "$work/elsewhere"
cp "$program" "$app/nikomaru"
printf '(^_^)\r\n\x82\xa0\x82\xa2\r\n\xc9\xbc\r\n' > "$app/kaolist2.txt"   # (^_^) あい ﾉｼ
printf 'pool\r\n' > "$app/kaolist1.txt"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

pid=""
failures=0
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

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

echo "$failures failed"
[ "$failures" -eq 0 ]
