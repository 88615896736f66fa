#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian does (lintian, AppStream, desktop entry);
# installs it (as root; otherwise unpacks it); as an unprivileged user, with the program's
# folder read-only, edits, saves and sees the saved list after a restart; then removes it.
# Usage: package_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/desktop.sh"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >/dev/null || { echo "FAILED: cpack"; exit 1; }
deb="$work/pkg/nikomaru_1.10.0_$(dpkg --print-architecture).deb"
check_now "cpack made $(basename "$deb")" test -f "$deb"
check_now "lintian finds no errors" lintian --fail-on error "$deb"
dpkg-deb -x "$deb" "$work/root"
check_now "the AppStream metainfo is valid" \
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.nikomaru.metainfo.xml"
check_now "the desktop entry is valid" desktop-file-validate "$work/root/usr/share/applications/nikomaru.desktop"
for n in 16 24 32 48 64 128 256; do  # the width in each PNG's header
  check_now "a $n x $n icon" test "$(od -An -tu1 -j18 -N2 "$work/root/usr/share/icons/hicolor/${n}x$n/apps/nikomaru.png" | awk '{print $1 * 256 + $2}')" = "$n"
done

# The person: root's tests run as nobody with a home of its own; others as themselves.
home=$(mktemp -d)
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  check_now "apt-get installs the package" \
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb"
  prefix=""
  chown -R nobody "$home"
  chmod 755 "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
else
  prefix="$work/root"
  chmod -R a-w "$prefix/usr/lib/nikomaru"
fi
lists="$prefix/usr/lib/nikomaru"
start_as_user() {
  "${as_user[@]}" env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home" "$prefix/usr/bin/nikomaru" &
  pid=$!
  main=$(window_named Nikomaru) && activate "$main"
}

start_virtual_display
if check_now "the installed program starts as a user" start_as_user; then
  xdotool key --clearmodifiers Tab Tab Return   # faces -> コピー -> 編集
  if editor=$(window_named "Nikomaru リスト編集") && activate "$editor"; then
    xdotool key --clearmodifiers Home Tab Tab Return # the first face to the pool: select it, 削除>>
    click_ok "$editor"
  fi
  check "the edit is saved in the user's data folder" cmp -s "$home/data/Nikomaru/kaolist2.txt" <(sed 1d "$lists/kaolist2.txt")
  check_now "the program's own lists are untouched" cmp -s "$lists/kaolist2.txt" "$work/root/usr/lib/nikomaru/kaolist2.txt"
  xdotool key --clearmodifiers alt+F4
  check "the program ends" ended
fi
if check_now "it starts again" start_as_user; then
  xdotool key --clearmodifiers Home Return
  check "after a restart it shows the saved list" clipboard_is "$(sed -n 2p "$lists/kaolist2.txt" | tr -d '\r' | iconv -f CP932 -t UTF-8)"
  kill "$pid"
  eventually ended
fi
pid=""
rm -rf "$home"

[ -n "$prefix" ] && chmod -R u+w "$prefix"
if [ "$(id -u)" -eq 0 ]; then
  check_now "apt-get removes the package" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq nikomaru
  check_now "nothing of it is left" bash -c '! dpkg -s nikomaru && [ ! -e /usr/lib/nikomaru ] && [ ! -e /usr/bin/nikomaru ]'
fi
finish
