#!/usr/bin/env bash
# Builds what it needs and runs the YMODEM benchmark: a 256 KiB image sent by
# YmodemFileTransmit and by lrzsz's sz into rb, on a line paced at 115200 baud
# 8N1 and on an unpaced one. Extra arguments go to the program
# (--size BYTES, --rate BYTES_PER_SECOND).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
for tool in rb sz; do
  command -v "$tool" >/dev/null || { echo "run-ymodem-bench.sh: $tool missing (Debian package lrzsz; scripts/setup.sh installs it)" >&2; exit 1; }
done
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target kestrelpack-ymodem-bench >/dev/null
# The benchmark names its own pseudo-terminals; nothing may scan real ports.
export KESTRELPACK_SERIAL_PORTS=""
exec "$build/bench/kestrelpack-ymodem-bench" "$@"
