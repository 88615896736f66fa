#!/usr/bin/env bash
# Cross-compiles the Windows-only desktop services and their test with mingw-w64 and runs it under
# wine, on a virtual display so that a real window can be created. Usage: run.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
out=${1:-$(mktemp -d)}
mkdir -p "$out"
source "$top/tools/virtual-display.sh"

cxx=(x86_64-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -static -I "$top/src/qt/platform")
x86_64-w64-mingw32-windres -I "$top/resources" "$top/resources/nikomaru.rc" -O coff -o "$out/nikomaru_res.o"

# Debian keeps wine64 out of PATH.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null || true; stop_virtual_display' EXIT
start_virtual_display

"${cxx[@]}" "$here/tst_native.cpp" "$top/src/qt/platform/windows/native.cpp" "$out/nikomaru_res.o" -lcomdlg32 \
  -o "$out/tst_native.exe"
timeout 300 "$wine" "$out/tst_native.exe"
