#!/usr/bin/env bash
# Installs the Debian packages that are missing for a purpose: "run" or "test".
# Usage: tools/deps.sh run|test
set -euo pipefail

build=(cmake g++ make qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic doctest-dev libx11-dev libxtst-dev)
desktop=(xvfb openbox xdotool xclip x11-utils)
case "${1:-}" in
  run)  wanted=("${build[@]}") ;;
  test) wanted=("${build[@]}" "${desktop[@]}" clang libclang-rt-14-dev python3-xlib \
        g++-mingw-w64-x86-64 wine64 unzip desktop-file-utils dpkg-dev lintian appstream \
        fonts-noto-cjk fonts-wine locales) ;;
  headless) wanted=("${desktop[@]}" imagemagick) ;;
  *) echo "usage: $0 run|test|headless" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
