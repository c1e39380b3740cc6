#!/usr/bin/env bash
# Installs what is missing, builds, and runs Kestrelpack against the device
# simulator: the command line program reads the simulated device's
# information, exports its records into a report and upgrades it with a
# generated firmware image; then, where a display exists, the program's window
# opens with the simulated device as its only port.
#
# Nothing here scans the machine's serial ports: every tool is given the
# simulator's pseudo-terminal through KESTRELPACK_SERIAL_PORTS.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/sim.out"
"$build/simulator/kestrelpack-devsim" --image-dir "$work/received" --c-interval 250 \
  --transcript "$work/frames.txt" > "$work/sim.out" &
sim_pid=$!
exec 3< "$work/sim.out"
read -r -t 10 port <&3 || { echo "demo: the simulator printed no device path" >&2; exit 1; }
# Keep draining the simulator's output so it never blocks on a full pipe.
cat <&3 > "$work/sim.log" &
export KESTRELPACK_SERIAL_PORTS="$port"
echo "== simulated device on $port"

cli="$build/cli/kestrelpack-cli"
echo "== device information"
"$cli" info

echo "== report of the device's records"
mkdir -p "$work/reports"
"$cli" export "$work/reports"
report="$(ls "$work"/reports/Report_*.csv)"
echo "== $(basename "$report"): $(wc -l < "$report") records"

echo "== firmware upgrade with a 64 KiB image"
mkdir -p "$work/received"
head -c 65536 /dev/urandom > "$work/demo-firmware.bin"
# One line per percent would fill the screen: show one per tenth reached.
"$cli" upgrade "$work/demo-firmware.bin" \
  | awk '/^Upload: / { t = int($2 / 10); if (t == last) next; last = t } { print; fflush() }'
if cmp -s "$work/demo-firmware.bin" "$work/received/demo-firmware.bin"; then
  echo "== the device received the image byte for byte"
else
  echo "demo: the received image differs from the one sent" >&2
  exit 1
fi
echo "== frames the device received: $(wc -l < "$work/frames.txt")"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
  echo "== starting the program (close its window to end the demo)"
  "$build/app/kestrelpack"
else
  echo "== no display: start the program yourself with"
  echo "   KESTRELPACK_SERIAL_PORTS=<simulator path> $build/app/kestrelpack"
fi
