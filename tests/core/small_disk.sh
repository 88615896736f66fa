#!/usr/bin/env bash
# Runs a test program with a small disk to fill: a 16 KiB tmpfs, where the test may mount one (as
# root), named in NIKOMARU_TEST_SMALL_DISK (as Z:\... for a Windows program under wine).
# Usage: small_disk.sh [--windows] PROGRAM...
set -euo pipefail
windows=0
[ "${1:-}" = "--windows" ] && { windows=1; shift; }
disk=$(mktemp -d)
trap 'umount "$disk" 2>/dev/null || true; rmdir "$disk"' EXIT
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=16k tmpfs "$disk"; then
  if [ "$windows" -eq 1 ]; then export NIKOMARU_TEST_SMALL_DISK="Z:${disk//\//\\}"; else export NIKOMARU_TEST_SMALL_DISK="$disk"; fi
fi
"$@"
