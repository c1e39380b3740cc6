#!/usr/bin/env bash
# Builds what it needs and runs the report benchmark: record streams of 1, 10
# and 50 MiB with LF and with LF CR line ends, each turned into the CSV report
# and written to a temporary folder in a fresh process; prints the time, the
# time per MiB and the peak resident size of each. Extra arguments go to the
# program (--sizes 1,10,50, --repeat N).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target kestrelpack-reportbench >/dev/null
exec "$build/bench/kestrelpack-reportbench" "$@"
