#!/usr/bin/env bash
# Unpacks the Windows zip into a fresh folder, checks what the program needs, and walks a person's
# journey through the unpacked copy under wine on a virtual display, driven from outside.
# Usage: journey.sh BUILD_DIR DRIVER [--bench]   (--bench: the editor's figures instead)
set -euo pipefail
build=$(cd "$1" && pwd)
driver=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/tools/virtual-display.sh"
work=$(mktemp -d)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$wineserver" -k 2>/dev/null || true; stop_virtual_display; umount "$work/readonly" 2>/dev/null; rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work/zip" >/dev/null
mkdir -p "$work/app" "$work/imports"
unzip -q "$work/zip/nikomaru-1.10.0-win64.zip" -d "$work/app"
exe="$work/app/nikomaru.exe"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {print tolower($3)}' | sort | tr '\n' ' ')
if [ "$dlls" != "advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll " ]; then
  echo "FAILED: nikomaru.exe imports more than Windows' own DLLs: $dlls"; exit 1
fi
echo "ok: nikomaru.exe imports only Windows' own DLLs"
size=$(stat -c %s "$exe")
[ "$size" -lt $((2 * 1024 * 1024)) ] || { echo "FAILED: nikomaru.exe is $size bytes"; exit 1; }
echo "ok: nikomaru.exe is one file of $size bytes, with its starter lists and read-me beside it"

# A second copy on a read-only mount, as a folder the user may not write (root may write any other).
readonly="-"
mkdir -p "$work/readonly"
cp "$work/app/"* "$work/readonly/"
if [ "$(id -u)" -eq 0 ] && mount --bind "$work/readonly" "$work/readonly" && mount -o remount,ro,bind "$work/readonly"; then
  readonly="$work/readonly"
else
  echo "(not root: the read-only program folder is not tried)"
fi

start_virtual_display
if [ "${3:-}" = "--bench" ]; then
  timeout 300 "$wine" "$driver" --bench "Z:${work//\//\\}\\app"
  exit
fi
windows() { if [ "$1" = "-" ]; then echo -; else echo "Z:${1//\//\\}"; fi; }
timeout 300 "$wine" "$driver" "$(windows "$work/app")" "$(windows "$work/imports")" "$(windows "$readonly")"
