#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian does (lintian, AppStream, desktop entry,
# icons); installs it (as root; otherwise unpacks it), starts it as a user and removes it. What
# the program does once installed is the real-desktop test's.
# Usage: package_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/desktop.sh"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >/dev/null || { echo "FAILED: cpack"; exit 1; }
deb="$work/pkg/nikomaru_1.10.0_$(dpkg --print-architecture).deb"
check_now "lintian finds no errors" lintian --fail-on error "$deb"
dpkg-deb -x "$deb" "$work/root"
check_now "the AppStream metainfo is valid" \
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.nikomaru.metainfo.xml"
check_now "the desktop entry is valid" desktop-file-validate "$work/root/usr/share/applications/nikomaru.desktop"
for n in 16 24 32 48 64 128 256; do  # the width in each PNG's header
  check_now "a $n x $n icon" test "$(od -An -tu1 -j18 -N2 "$work/root/usr/share/icons/hicolor/${n}x$n/apps/nikomaru.png" | awk '{print $1 * 256 + $2}')" = "$n"
done

# Installed as root with apt-get; otherwise unpacked. The person starts it from the menu's command.
# A nikomaru package the machine already has is left alone: the test's package is only unpacked.
prefix="$work/root"
installed=""
dpkg-query -W -f='${Status}' nikomaru 2>/dev/null | grep -q "install ok installed" && installed=yes
[ -z "$installed" ] || echo "A nikomaru package is installed here: the package is tested unpacked, the installed one left as it is."
if [ "$(id -u)" -eq 0 ] && [ -z "$installed" ]; then
  check_now "apt-get installs the package" \
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb"
  prefix=""
fi
start_virtual_display
"${person[@]}" "$prefix/usr/bin/nikomaru" &
pid=$!
check_now "the installed program starts as a user" window_named Nikomaru
kill "$pid"; eventually ended; pid=""
[ -n "$prefix" ] || check_now "apt-get removes the package" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq nikomaru
finish
