#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang into ./build-fuzz, replays
# each target's corpus, then fuzzes each target for a while.
#
#   bash scripts/fuzz.sh                  # 20 s per target (CI)
#   bash scripts/fuzz.sh --seconds 300    # longer runs
#
# The corpus in the repository (fuzz/corpus/<target>/: seeds and the inputs
# of past crashes) is replayed as it is, then each target fuzzes a copy of it,
# so a run never adds to the repository. A crash, a leak or a broken
# invariant fails the run; its input is kept in build-fuzz/artifacts/ and the
# target's log beside it. KESTRELPACK_FUZZ_BUILD_DIR picks another folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=20
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="${2:?--seconds needs a number}"; shift 2 ;;
    --seconds=*) seconds="${1#--seconds=}"; shift ;;
    *) echo "fuzz.sh: unknown argument '$1' (--seconds N)" >&2; exit 2 ;;
  esac
done
case "$seconds" in
  ''|*[!0-9]*) echo "fuzz.sh: --seconds wants a whole number, not '$seconds'" >&2; exit 2 ;;
esac

targets=(fuzz_replydecoders fuzz_reportformatter fuzz_ymodem fuzz_simframes)
build="${KESTRELPACK_FUZZ_BUILD_DIR:-$root/build-fuzz}"

bash "$root/scripts/setup.sh" --fuzz
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRELPACK_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]}"

# Reports name source lines; undefined behaviour stops a run at once.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

echo "== replay of fuzz/corpus"
ctest --test-dir "$build/fuzz" --output-on-failure

artifacts="$build/artifacts"
mkdir -p "$artifacts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=()
summary=()
for t in "${targets[@]}"; do
  echo "== $t: ${seconds} s"
  mkdir -p "$work/$t"
  cp "$root/fuzz/corpus/$t/." "$work/$t/" -R
  seeds=$(find "$work/$t" -type f | wc -l)
  log="$artifacts/$t.log"
  start=$(date +%s)
  rc=0
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$t-" "$work/$t" >"$log" 2>&1 || rc=$?
  elapsed=$(( $(date +%s) - start ))
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED)' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  corpus=$(find "$work/$t" -type f | wc -l)
  line=$(printf '%-22s execs %-10s exec/s %-7s cov %-5s ft %-6s corpus %s -> %s  %ss' \
    "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$seeds" "$corpus" "$elapsed")
  if [ "$rc" -ne 0 ]; then
    line="$line  FAILED (exit $rc, see $log)"
    failed+=("$t")
    grep -E 'invariant broken|ERROR: |SUMMARY: |Test unit written' "$log" | head -n 8 || true
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
if [ "${#failed[@]}" -ne 0 ]; then
  echo "fuzz.sh: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: ${#targets[@]} targets, no crash"
