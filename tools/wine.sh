#!/usr/bin/env bash
# Runs a Windows program under wine in a throw-away prefix of the build (WINEPREFIX, if set, wins),
# without wine's Mono and Gecko prompts.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-$PWD/wineprefix} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# Debian keeps wine64 out of PATH.
exec "$(command -v wine64 || echo /usr/lib/wine/wine64)" "$@"
