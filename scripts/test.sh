#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. This is the one
# command CI runs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
# Never let anything in the suite scan the machine's real serial ports.
export KESTRELPACK_SERIAL_PORTS=""
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j 2 "$@"
