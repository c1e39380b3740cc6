#!/usr/bin/env bash
# Configures and builds with ccache and two jobs.
#
#   bash scripts/build.sh                      # plain build into ./build
#   bash scripts/build.sh --sanitize=address   # ASan + UBSan into ./build-asan
#   bash scripts/build.sh --sanitize=thread    # TSan into ./build-tsan
#
# KESTRELPACK_BUILD_DIR picks another folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sanitize=""
for arg in "$@"; do
  case "$arg" in
    --sanitize=address|--sanitize=thread) sanitize="${arg#--sanitize=}" ;;
    *) echo "build.sh: unknown argument '$arg' (--sanitize=address|thread)" >&2; exit 2 ;;
  esac
done
case "$sanitize" in
  address) default_build="$root/build-asan" ;;
  thread) default_build="$root/build-tsan" ;;
  *) default_build="$root/build" ;;
esac
build="${KESTRELPACK_BUILD_DIR:-$default_build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRELPACK_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j 2
