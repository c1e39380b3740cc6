#!/usr/bin/env bash
# Builds what it needs and runs the jobs benchmark: information, an export of
# 400 records and the two upgrade starts, through QSerialUser against the
# simulated device at 11,520 B/s, 21 runs each. Extra arguments go to the
# program (--runs N, --only info|export|prep|receiver, --rate BYTES_PER_SECOND,
# --log DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target kestrelpack-jobs-bench >/dev/null
# Nothing may scan real ports: the program names the simulator's
# pseudo-terminal as the only port once it has made it.
export KESTRELPACK_SERIAL_PORTS=""
exec "$build/bench/kestrelpack-jobs-bench" "$@"
