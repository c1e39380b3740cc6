#!/usr/bin/env bash
# Smoke test of the Windows build under Wine, in a private Wine prefix and a
# virtual X server of its own. Called by scripts/windows.sh once the package
# is made:
#
#   bash scripts/windows-smoke.sh BUILD_DIR VERSION
#
# Checks, each printed as PASS or FAIL with its reason:
#   cli-help         kestrelpack-cli.exe --help exits 0
#   cli-upgrade      kestrelpack-cli.exe --port COM5 upgrade sends a random
#                    image to the Linux device simulator, whose pty is COM5,
#                    and the device stores it byte for byte
#   window           kestrelpack.exe, run from a folder whose name has
#                    Cyrillic and Chinese letters, logs its window shown,
#                    is photographed, and quits cleanly when asked to close
#   installer        the installer runs silently, puts the programs into
#                    Program Files with a Start-menu entry, the installed
#                    program starts, and the silent uninstaller removes them
# Screenshots and the programs' logs are kept in BUILD_DIR/smoke/.
#
# Nothing here touches the machine's serial ports: the programs are named
# COM5 alone (--port, KESTRELPACK_SERIAL_PORTS), and COM5 is the simulator.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: windows-smoke.sh BUILD_DIR VERSION}"
version="${2:?usage: windows-smoke.sh BUILD_DIR VERSION}"
package="$build/package"
stage="$package/kestrelpack-$version-win64"
out="$build/smoke"
rm -rf "$out"
mkdir -p "$out"
work="$(mktemp -d -t kestrelpack-wine.XXXXXX)"

export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine reads the folder names and the command line as UTF-8.
export LC_ALL=C.UTF-8

sim_pid=""
xvfb_pid=""
source "$root/scripts/processes.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  stop_pid "$sim_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT


passed=0
failed=0
pass() { echo "PASS: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1: $2"; failed=$((failed + 1)); }

# --- the Linux device simulator ------------------------------------------
linux_build="${KESTRELPACK_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j 2 --target kestrelpack-devsim >/dev/null
mkdir -p "$work/received"
"$linux_build/simulator/kestrelpack-devsim" --image-dir "$work/received" --c-interval 250 \
  > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
sim_has_port() { [ -n "$(head -n 1 "$work/sim.out")" ]; }
if ! wait_until 10 sim_has_port; then
  echo "windows-smoke: the simulator printed no device path:" >&2
  cat "$work/sim.err" >&2
  exit 1
fi
pty="$(head -n 1 "$work/sim.out")"

# --- a virtual display and a fresh Wine prefix ---------------------------
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1400x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
if ! wait_until 10 test -e "/tmp/.X11-unix/X$n"; then
  echo "windows-smoke: Xvfb did not start" >&2
  exit 1
fi
wineboot --init > "$work/wineboot.log" 2>&1
wineserver -w
# COM5 is the simulator's pty; Wine's device manager makes the link when the
# server starts again.
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n"COM5"="%s"\n' "$pty" > "$work/ports.reg"
wine regedit /S "$(winepath -w "$work/ports.reg")"
wineserver -w
wine cmd /c exit 0 >/dev/null 2>&1
wineserver -w
if [ "$(readlink "$WINEPREFIX/dosdevices/com5")" != "$pty" ]; then
  echo "windows-smoke: COM5 is not linked to $pty" >&2
  ls -l "$WINEPREFIX/dosdevices" >&2
  exit 1
fi
export KESTRELPACK_SERIAL_PORTS=COM5
echo "windows-smoke: Wine $(wine --version), display :$n, COM5 = $pty"

# --- cli-help --------------------------------------------------------------
wine "$stage/kestrelpack-cli.exe" --help > "$out/cli-help.txt" 2>&1
rc=$?
if [ "$rc" -ne 0 ]; then
  fail cli-help "exit code $rc"
elif ! grep -q 'upgrade' "$out/cli-help.txt"; then
  fail cli-help "no 'upgrade' in the help text"
else
  pass cli-help
fi

# --- cli-upgrade -------------------------------------------------------------
head -c 40000 /dev/urandom > "$work/smoke-firmware.bin"
timeout 300 wine "$stage/kestrelpack-cli.exe" --port COM5 upgrade "$(winepath -w "$work/smoke-firmware.bin")" \
  > "$out/cli-upgrade.txt" 2>&1
rc=$?
# The simulator stores the image once the transfer's closing block is in,
# which may be a moment after the sender has finished.
image_stored() { grep -q 'image smoke-firmware.bin received' "$work/sim.err"; }
if [ "$rc" -ne 0 ]; then
  fail cli-upgrade "exit code $rc ($(tail -n 1 "$out/cli-upgrade.txt"))"
elif ! wait_until 10 image_stored; then
  fail cli-upgrade "the device reports no image received"
elif ! cmp "$work/smoke-firmware.bin" "$work/received/smoke-firmware.bin" > "$out/cli-upgrade-cmp.txt" 2>&1; then
  fail cli-upgrade "the device's image differs from the file sent: $(cat "$out/cli-upgrade-cmp.txt")"
else
  pass cli-upgrade
fi

# --- the window ------------------------------------------------------------
# Starts the program at PATH (a Unix path), waits for its log to say the
# window is shown, keeps a screenshot as SHOT, asks the window to close and
# checks a clean quit. Leaves the reason of a failure in $why.
run_window() {
  local exe="$1" shot="$2" logs pid rc
  logs="$(dirname "$exe")/logs"
  wine "$exe" > "$work/window.out" 2>&1 &
  pid=$!
  window_logged() { grep -q -s 'Main window shown after' "$logs"/K9Z40_*.log; }
  if ! wait_until 60 window_logged; then
    why="no 'Main window shown' in $logs within 60 s"
    kill "$pid" 2>/dev/null
    return 1
  fi
  sleep 1 # the log line comes with the first paint; let the rest of it land
  import -window root "$shot"
  # Without /f, taskkill asks the program's windows to close.
  wine taskkill /im "$(basename "$exe")" > /dev/null 2>&1
  if ! wait_until 30 bash -c "! kill -0 $pid 2>/dev/null"; then
    why="still running 30 s after being asked to close"
    kill "$pid" 2>/dev/null
    return 1
  fi
  wait "$pid"
  rc=$?
  cp "$logs"/K9Z40_*.log "$out/" 2>/dev/null
  if [ "$rc" -ne 0 ]; then
    why="exit code $rc"
    return 1
  fi
  if ! tail -n 1 "$logs"/K9Z40_*.log | grep -q 'Application finished'; then
    why="the log does not end with 'Application finished'"
    return 1
  fi
}

unicode_dir="$WINEPREFIX/drive_c/Техник 技术员"
mkdir -p "$unicode_dir"
cp "$stage/kestrelpack.exe" "$unicode_dir/"
if run_window "$unicode_dir/kestrelpack.exe" "$out/window.png"; then
  pass window
else
  fail window "$why"
fi

# --- installer ---------------------------------------------------------------
installed="$WINEPREFIX/drive_c/Program Files/Kestrelpack"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrelpack"
wine "$package/kestrelpack-$version-setup.exe" /S > "$work/setup.out" 2>&1
wineserver -w
if [ ! -f "$installed/kestrelpack.exe" ] || [ ! -f "$installed/kestrelpack-cli.exe" ] \
   || [ ! -f "$installed/uninstall.exe" ]; then
  fail installer "the programs are not in Program Files: $(ls "$installed" 2>&1 | tr '\n' ' ')"
elif [ ! -f "$start_menu/Kestrelpack.lnk" ]; then
  fail installer "no Start-menu entry"
elif ! run_window "$installed/kestrelpack.exe" "$out/installed-window.png"; then
  fail installer "the installed program: $why"
else
  wine "$installed/uninstall.exe" /S > "$work/uninstall.out" 2>&1
  wineserver -w
  if wait_until 30 test ! -e "$installed/kestrelpack.exe" && [ ! -e "$start_menu/Kestrelpack.lnk" ]; then
    pass installer
  else
    fail installer "the uninstaller left the program or its Start-menu entry"
  fi
fi

echo "windows-smoke: screenshots and logs in $out"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
