#!/usr/bin/env bash
# Runs the Windows program's fit check in every setup a person may have: Japanese fonts from Noto
# Sans CJK only, from IPA only, or both; a Japanese or an English system; 96, 120 or 144 DPI.
# One wine prefix of the build's serves every font set: fontconfig shows it only that set's fonts
# (and the Latin interface fonts every Windows has), and the interface fonts are linked to them as
# Windows links them. The locales are made in the build folder; the machine's stay as they were.
# Usage: fit.sh BUILD_DIR FIT_EXE [--shots DOCS_DIR]   (--shots: the read-me's screenshots, in
# ja_JP with IPA only and in en_US with both, at 96 DPI, instead of the checks)
set -euo pipefail
build=$(cd "$1" && pwd) fit=$2 shots=${4:-} lists=$(mktemp -d)
source "$(dirname "$0")/../../tools/virtual-display.sh"
trap 'echo "FAILED: line $LINENO: $BASH_COMMAND (exit $?)" >&2' ERR
trap 'WINEPREFIX=$build/wine-fit/ wineserver -k 2>/dev/null || true; stop_virtual_display; rm -rf "$lists"' EXIT
# Debian keeps wine64 and wineserver out of PATH.
export PATH="$PATH:/usr/lib/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LOCPATH="$build/locale"
for locale in ja_JP en_US; do
  [ -d "$LOCPATH/$locale.UTF-8" ] || { mkdir -p "$LOCPATH" && localedef -i $locale -f UTF-8 "$LOCPATH/$locale.UTF-8"; }
done
ipa=/usr/share/fonts/opentype/ipafont-gothic noto=/usr/share/fonts/opentype/noto
declare -A dirs=([noto]="$noto" [ipa]="$ipa" [both]="$ipa $noto")
declare -A links=([noto]='NotoSansCJK-Regular.ttc,Noto Sans CJK JP' [ipa]='ipagp.ttf,IPAPGothic'
                  [both]='ipagp.ttf,IPAPGothic\0NotoSansCJK-Regular.ttc,Noto Sans CJK JP')
reg() { wine64 reg "$@" /f >/dev/null; }

# The build's prefix, made as the other Windows tests make it, copied by hard links: a prefix is
# 700 MB of DLLs that wine never writes. The registry, which wine rewrites in place, is copied.
export WINEPREFIX="$build/wine-fit/"
if [ ! -f "$WINEPREFIX/user.reg" ]; then
  [ -f "$build/wineprefix/user.reg" ] || WINEPREFIX=$build/wineprefix wine64 wineboot -i
  WINEPREFIX=$build/wineprefix wineserver -w
  rm -rf "$WINEPREFIX" && cp -al "$build/wineprefix" "$WINEPREFIX"
  for file in "$WINEPREFIX"/*.reg; do cp --remove-destination "$build/wineprefix/${file##*/}" "$file"; done
  reg delete 'HKCU\Software\Nikomaru' 2>/dev/null || true # what the other tests left set
fi

start_virtual_display
failed=0
for set in noto ipa both; do
  export FONTCONFIG_FILE="$build/wine-fit-$set.conf"
  echo "<fontconfig>$(printf '<dir>%s</dir>' ${dirs[$set]} /usr/share/wine/fonts /usr/share/fonts/truetype/dejavu)
    <cachedir>$build/wine-fit-$set.cache</cachedir></fontconfig>" > "$FONTCONFIG_FILE"
  for locale in ja_JP en_US; do
    export LANG=$locale.UTF-8
    # wine writes links of its own, to fonts not installed, as the locale changes: ours after.
    for face in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma "Microsoft Sans Serif" "Segoe UI"; do
      reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" /t REG_MULTI_SZ /d "${links[$set]}"
    done
    for dpi in 96 120 144; do
      [ -z "$shots" ] || [ "$set:$locale:$dpi" = ipa:ja_JP:96 ] || [ "$set:$locale:$dpi" = both:en_US:96 ] || continue
      # Without stored metrics the interface fonts follow the locale; the DPI is read at start.
      reg delete 'HKCU\Control Panel\Desktop\WindowMetrics' 2>/dev/null || true
      reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi
      wineserver -k 2>/dev/null || true
      wineserver -w
      echo "== $set, $locale, $dpi DPI"
      timeout 120 wine64 "$fit" "Z:${lists//\//\\}" ${shots:+--shots} &
      for name in ${shots:+main-window list-editor erase-question input-box}; do
        for _ in $(seq 300); do [ -s "$lists/$name.ready" ] && break; sleep 0.1; done
        # The frame openbox draws belongs in the picture: the window's parent.
        frame=$(xwininfo -children -id "$(printf '0x%x' "$(cat "$lists/$name.ready")")" | awk '/Parent window id/ {print $4}')
        # Taken again until two pictures agree: wine may still be painting.
        for _ in $(seq 50); do import -window "$frame" "$lists/a.png"; sleep 0.2; import -window "$frame" "$shots/$name-windows-${locale%_*}.png"; compare -metric AE "$lists/a.png" "$shots/$name-windows-${locale%_*}.png" null: 2>/dev/null && break; done
        rm "$lists/$name.ready"
      done
      wait $! || failed=1
    done
  done
done
exit $failed
