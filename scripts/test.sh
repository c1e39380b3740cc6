#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. This is the one
# command CI runs.
#
#   bash scripts/test.sh                      # plain build in ./build, every test
#   bash scripts/test.sh --sanitize=address   # ASan + UBSan (leaks fail) in ./build-asan
#   bash scripts/test.sh --sanitize=thread    # TSan in ./build-tsan
#
# Further arguments go to ctest (e.g. -R tst_serialworker). The sanitizer
# options and suppression files reach each test through CTest
# (tests/CMakeLists.txt, tests/sanitizers/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_args=()
case "${1:-}" in
  --sanitize=*) build_args+=("$1"); shift ;;
esac
case "${build_args[0]:-}" in
  --sanitize=address) default_build="$root/build-asan" ;;
  --sanitize=thread) default_build="$root/build-tsan" ;;
  *) default_build="$root/build" ;;
esac
build="${KESTRELPACK_BUILD_DIR:-$default_build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "${build_args[@]}"
# Never let anything in the suite scan the machine's real serial ports.
export KESTRELPACK_SERIAL_PORTS=""
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j 2 "$@"
