#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit, widget and real-desktop tests and
# the benchmark's figures; the same suite under AddressSanitizer and UndefinedBehaviorSanitizer;
# a bounded fuzzing run of the face file reader; and the face list core built for Windows with
# mingw-w64 and tested under wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh test
cmake --workflow --preset dev
cmake --workflow --preset asan
cmake --workflow --preset fuzz
cmake --workflow --preset mingw
