#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, widget and real-desktop tests).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh test
cmake --workflow --preset dev
