#!/usr/bin/env bash
# Configures and builds into ./build (or $KESTRELPACK_BUILD_DIR) with ccache
# and two jobs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2
