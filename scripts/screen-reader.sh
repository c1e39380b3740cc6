#!/usr/bin/env bash
# The window as a screen reader reads it: runs Kestrelpack against the
# device simulator under its own Xvfb and accessibility bus (at-spi2-core),
# and scripts/screen-reader.py reads it over AT-SPI while the keyboard
# works it: every control of the menu and the three pages with its role,
# name and description, then what is heard during an upgrade. Exits 1 when
# some control has no name. Not part of the suite: it needs at-spi2-core,
# python3-pyatspi and dbus-x11 (scripts/setup.sh --accessibility).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh" --accessibility
source "$root/scripts/processes.sh"
work="$(mktemp -d -t kestrelpack-reader.XXXXXX)"
sim_pid=""; app_pid=""; xvfb_pid=""
cleanup() { stop_pid "$app_pid"; stop_pid "$sim_pid"; stop_pid "$xvfb_pid"; rm -rf "$work"; }
trap cleanup EXIT

head -c 32768 /dev/urandom > "$work/firmware.bin"
"$build/simulator/kestrelpack-devsim" --image-dir "$work/received" --c-interval 250 --rate 11520 \
  --version-after 1.11 > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
sim_has_port() { [ -n "$(head -n 1 "$work/sim.out")" ]; }
wait_until 10 sim_has_port || { echo "screen-reader: no simulated device" >&2; exit 1; }

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.err" &
xvfb_pid=$!
has_display() { [ -s "$work/display" ]; }
wait_until 10 has_display || { echo "screen-reader: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

mkdir -p "$work/app/config" "$work/received"
cp "$build/app/kestrelpack" "$work/app/"
printf '[software]\nlanguage=%s\n' "${KESTRELPACK_READER_LANGUAGE:-1}" > "$work/app/config/config.ini"
export KESTRELPACK_SERIAL_PORTS="$(head -n 1 "$work/sim.out")"
export QT_QPA_PLATFORM=xcb
dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  address=""
  for i in $(seq 1 50); do
    address=$(dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
                2>/dev/null | sed -n "s/^ *string \"\(.*\)\"$/\1/p")
    [ -n "$address" ] && break
    sleep 0.1
  done
  /usr/libexec/at-spi2-registryd &
  sleep 1
  # Where a desktop would: Qt finds the bus through the root window (its
  # asynchronous way through the session bus registers too early here), and
  # accessibility is switched on as a screen reader does.
  xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "$address"
  dbus-send --session --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled variant:boolean:true
  sleep 1
  "$1/app/kestrelpack" > "$1/program.out" 2>&1 &
  app=$!
  for i in $(seq 1 50); do xdotool search --onlyvisible --name "^Kestrelpack$" >/dev/null 2>&1 && break; sleep 0.2; done
  wid=$(xdotool search --onlyvisible --name "^Kestrelpack$" | head -n 1)
  xdotool windowmove "$wid" 0 0
  xdotool windowfocus --sync "$wid"
  status=0
  /usr/bin/python3 "$2/scripts/screen-reader.py" "$1/firmware.bin" 25 || status=$?
  [ $status -eq 0 ] || cat "$1/program.out" >&2
  kill "$app" 2>/dev/null || true
  exit $status
' reader "$work" "$root"
