#!/usr/bin/env bash
# Smoke test of the Windows build under Wine, in a private Wine prefix and a
# virtual X server of its own. Called by scripts/windows.sh once the package
# is made:
#
#   bash scripts/windows-smoke.sh BUILD_DIR VERSION
#
# Checks, each printed as PASS or FAIL with its reason:
#   cli-help         kestrelpack-cli.exe --help exits 0 and says where the log is
#   cli-info         --port COM5 info prints the device's version and serial number
#   cli-port-case    --port com17 info: a port typed in lower case is COM17
#                    (the simulator behind COM5 again)
#   cli-export       --port COM5 export into a folder named in Cyrillic and
#                    Chinese writes a report that holds the simulator's
#                    records, line for line, and its output (to a file, so
#                    UTF-8) names the folder
#   log-utf8         that job's log holds the folder's name in UTF-8 (Wine runs
#                    with the Western code page 1252) and nothing but UTF-8
#   cli-export-read-only  an export into a folder with the read-only attribute
#                    (as Explorer sets it on Documents) writes its report
#   cli-export-lost  a device lost during an export (COM6, its simulator
#                    killed mid-stream) fails (exit 3, or 6 where the line
#                    goes silent instead of failing)
#                    and keeps what arrived as Partial_Report_*.csv
#   cli-upgrade      --port COM5 upgrade sends a random image that the device
#                    stores byte for byte, and ends with the version the
#                    device then answers with
#   cli-history      every job above left its record in the service history
#                    (history --json), the upgrade's with the file's SHA-256
#   cli-support      support-file writes one zip that tests whole, with the
#                    summary (COM5 listed), the log and the service history
#   log-fallback     the command line in a folder it cannot write leaves its log
#                    in %LOCALAPPDATA%\Kestrelpack\logs
#   window           kestrelpack.exe, run from a folder whose name has
#                    Cyrillic and Chinese letters, logs its window shown,
#                    is photographed, and quits cleanly when asked to close
#   window-*         the window's three jobs clicked through as a technician
#                    would, its pages at 96, 120, 144 and 192 DPI, and its
#                    scale on screens too small for it (150 % on 1080p,
#                    100 % on 1024x768)
#                    (scripts/windows-window.sh)
#   installer        the silent installer into Program Files, the installed
#                    program started, the silent uninstaller
#   installer-folder a silent install into C:\Tools\Kestrelpack (/D=)
#   installer-update the installer over an older version there: the programs
#                    replaced, config\ and logs\ kept, then uninstalled
# Screenshots and the programs' logs are kept in BUILD_DIR/smoke/.
#
# KESTRELPACK_SMOKE_SIM_ARGS passes extra options to the simulator behind
# COM5 (e.g. "--silent", to see each job's check fail as it should).
#
# Nothing here touches the machine's serial ports: the programs are named
# COM5 and COM6 alone (--port, KESTRELPACK_SERIAL_PORTS), which are the
# simulators.
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
smoke_start=$SECONDS

export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine reads the folder names and the command line as UTF-8; its Windows
# side runs as US English, with the Western code page 1252.
export LC_ALL=C.UTF-8 LANG=en_US.UTF-8

sim_pid=""
lost_pid=""
xvfb_pid=""
small_pid=""
locked=""
source "$root/scripts/processes.sh"
cleanup() {
  [ -n "$locked" ] && chattr -i "$locked" 2>/dev/null
  wineserver -k 2>/dev/null || true
  stop_pid "$sim_pid"
  stop_pid "$lost_pid"
  stop_pid "$xvfb_pid"
  stop_pid "$small_pid"
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
pass() { echo "PASS: $1${2:+: $2} ($((SECONDS - step_start)) s)"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1: $2"; failed=$((failed + 1)); }
begin() { step_start=$SECONDS; }
step_start=$SECONDS

# --- the Linux device simulators ---------------------------------------------
linux_build="${KESTRELPACK_BUILD_DIR:-$root/build}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j 2 --target kestrelpack-devsim >/dev/null

# The device's records as it streams them; the report leaves out the
# "An invalid record." lines and separates the fields with commas.
mkdir -p "$work/received"
for i in $(seq 1 40); do
  printf '%04d 2026-03-%02d %02d:%02d:00 EVENT_%d %d\n' "$i" $((1 + i / 4)) $((6 + i % 12)) $((i * 7 % 60)) \
    $((i % 6)) $((180 + i * 37 % 90))
  if [ $((i % 10)) -eq 0 ]; then echo "An invalid record."; fi
done > "$work/records.txt"
grep -v '^An invalid record\.$' "$work/records.txt" | tr ' ' ',' > "$work/expected-report.csv"

start_sim() { # NAME ARGS...: starts a simulator, leaves its pid in sim_started
  local name="$1"; shift
  "$linux_build/simulator/kestrelpack-devsim" "$@" > "$work/$name.out" 2> "$work/$name.err" &
  sim_started=$!
  if ! wait_until 10 test -s "$work/$name.out"; then
    echo "windows-smoke: the simulator $name printed no device path:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
}
# shellcheck disable=SC2086 # the extra options are meant to be split
start_sim sim --records-file "$work/records.txt" --image-dir "$work/received" --c-interval 250 \
  ${KESTRELPACK_SMOKE_SIM_ARGS:-}
sim_pid=$sim_started
pty="$(head -n 1 "$work/sim.out")"
# The device that will be lost: a long record stream at the wire's real pace.
start_sim lost --records 5000 --rate 11520
lost_pid=$sim_started
lost_pty="$(head -n 1 "$work/lost.out")"

# --- a virtual display and a fresh Wine prefix ---------------------------
# Large enough for the window at 200 %.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 2800x1800x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$n"
if ! wait_until 10 test -e "/tmp/.X11-unix/X$n"; then
  echo "windows-smoke: Xvfb did not start" >&2
  exit 1
fi
wineboot --init > "$work/wineboot.log" 2>&1
wineserver -w
# COM5 and COM6 are the simulators' ptys, COM17 the first one's again (a
# name from COM10 on is one that Qt opens only in upper case); Wine's device
# manager makes the links when the server starts again.
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n"COM5"="%s"\n"COM6"="%s"\n"COM17"="%s"\n' \
  "$pty" "$lost_pty" "$pty" > "$work/ports.reg"
wine regedit /S "$(winepath -w "$work/ports.reg")"
wineserver -w
wine cmd /c exit 0 >/dev/null 2>&1
wineserver -w
if [ "$(readlink "$WINEPREFIX/dosdevices/com5")" != "$pty" ] \
   || [ "$(readlink "$WINEPREFIX/dosdevices/com6")" != "$lost_pty" ] \
   || [ "$(readlink "$WINEPREFIX/dosdevices/com17")" != "$pty" ]; then
  echo "windows-smoke: COM5, COM6 and COM17 are not linked to $pty, $lost_pty and $pty" >&2
  ls -l "$WINEPREFIX/dosdevices" >&2
  exit 1
fi
export KESTRELPACK_SERIAL_PORTS=COM5
acp="$(wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null \
  | tr -d '\r' | awk '$1 == "ACP" { print $3 }')"
echo "windows-smoke: Wine $(wine --version), display :$n, code page ${acp:-?}, COM5 = $pty, COM6 = $lost_pty"

# The programs run from a folder named in Cyrillic and Chinese, where they
# also keep their logs.
unicode_dir="$WINEPREFIX/drive_c/Техник 技术员"
mkdir -p "$unicode_dir"
cp "$stage/kestrelpack.exe" "$stage/kestrelpack-cli.exe" "$unicode_dir/"
cli="$unicode_dir/kestrelpack-cli.exe"
cli_log() { cat "$unicode_dir"/logs/K9Z40_*.log 2>/dev/null; }

# --- cli-help --------------------------------------------------------------
begin
wine "$cli" --help > "$out/cli-help.txt" 2>&1
rc=$?
if [ "$rc" -ne 0 ]; then
  fail cli-help "exit code $rc"
elif ! grep -q 'upgrade' "$out/cli-help.txt"; then
  fail cli-help "no 'upgrade' in the help text"
elif ! grep -q 'LOCALAPPDATA' "$out/cli-help.txt"; then
  fail cli-help "the help does not say where the log is"
else
  pass cli-help
fi

# --- cli-info ------------------------------------------------------------------
begin
timeout 120 wine "$cli" --port COM5 info > "$out/cli-info.txt" 2>&1
rc=$?
if [ "$rc" -ne 0 ]; then
  fail cli-info "exit code $rc ($(tail -n 1 "$out/cli-info.txt"))"
elif ! grep -q 'Version: V1.10' "$out/cli-info.txt" || ! grep -q 'Serial number: 08123456' "$out/cli-info.txt"; then
  fail cli-info "no version V1.10 and serial number 08123456: $(tr -d '\r' < "$out/cli-info.txt" | tr '\n' ' ')"
else
  pass cli-info
fi

# --- cli-port-case ---------------------------------------------------------------
# Qt adds the "\\.\" that a port from COM10 on needs only to an upper-case
# name; technicians type com17.
begin
timeout 120 wine "$cli" --port com17 info > "$out/cli-port-case.txt" 2>&1
rc=$?
if [ "$rc" -ne 0 ]; then
  fail cli-port-case "exit code $rc ($(tail -n 1 "$out/cli-port-case.txt"))"
elif ! grep -q 'Version: V1.10' "$out/cli-port-case.txt"; then
  fail cli-port-case "no version V1.10: $(tr -d '\r' < "$out/cli-port-case.txt" | tr '\n' ' ')"
else
  pass cli-port-case
fi

# --- cli-export and log-utf8 ----------------------------------------------------
begin
report_dir="$WINEPREFIX/drive_c/Отчёты 报告"
report_win="$(winepath -w "$report_dir")"
timeout 120 wine "$cli" --port COM5 export "$report_win" > "$out/cli-export.txt" 2>&1
rc=$?
reports=("$report_dir"/Report_*.csv)
if [ "$rc" -ne 0 ]; then
  fail cli-export "exit code $rc ($(tail -n 1 "$out/cli-export.txt"))"
elif [ "${#reports[@]}" -ne 1 ] || [ ! -f "${reports[0]}" ]; then
  fail cli-export "no single report in $report_dir: $(ls "$report_dir" 2>&1 | tr '\n' ' ')"
elif ! tr -d '\r' < "${reports[0]}" | diff "$work/expected-report.csv" - > "$out/cli-export-diff.txt"; then
  fail cli-export "the report differs from the device's records: $(head -n 4 "$out/cli-export-diff.txt" | tr '\n' ' ')"
elif ! grep -q "Отчёты 报告" "$out/cli-export.txt"; then
  # Redirected output is UTF-8: through the code page the folder read "?".
  fail cli-export "its output does not name the folder in UTF-8: $(tr -d '\r' < "$out/cli-export.txt" | tail -n 1)"
else
  cp "${reports[0]}" "$out/"
  pass cli-export "$(wc -l < "${reports[0]}") records"
fi
begin
if [ "$acp" != 1252 ]; then
  # Under a UTF-8 code page the check would pass without proving anything.
  fail log-utf8 "Wine's code page is ${acp:-unknown}, not the Western 1252"
elif ! cli_log | grep -q "Job start: export.*Отчёты 报告"; then
  fail log-utf8 "the log does not name the folder \"Отчёты 报告\" in UTF-8: $(cli_log | grep 'Job start: export' | tail -n 1)"
elif ! cli_log | iconv -f UTF-8 -t UTF-8 > /dev/null 2>&1; then
  fail log-utf8 "the log holds bytes that are not UTF-8"
else
  pass log-utf8
fi

# --- cli-export-read-only -------------------------------------------------------
# Wine shows a folder without write bits as read-only, and runs as root, who
# makes files in it: Windows' Documents as Explorer leaves it.
begin
read_only_dir="$WINEPREFIX/drive_c/Read-only reports"
mkdir -p "$read_only_dir"
chmod 0555 "$read_only_dir"
timeout 120 wine "$cli" --port COM5 export "$(winepath -w "$read_only_dir")" > "$out/cli-export-read-only.txt" 2>&1
rc=$?
read_only_reports=("$read_only_dir"/Report_*.csv)
if [ "$rc" -ne 0 ]; then
  fail cli-export-read-only "exit code $rc ($(tail -n 1 "$out/cli-export-read-only.txt"))"
elif [ ! -f "${read_only_reports[0]}" ]; then
  fail cli-export-read-only "no report in $read_only_dir: $(ls "$read_only_dir" 2>&1 | tr '\n' ' ')"
else
  pass cli-export-read-only
fi

# --- cli-export-lost -------------------------------------------------------------
begin
lost_dir="$WINEPREFIX/drive_c/lost-reports"
mkdir -p "$lost_dir"
timeout 180 wine "$cli" --port COM6 export "$(winepath -w "$lost_dir")" > "$out/cli-export-lost.txt" 2>&1 &
lost_cli=$!
# A fifth of the records in (about 3 s), then the device goes: its simulator
# killed, the pty gone.
some_records() { grep -q -s 'Export progress: 20 %' "$out/cli-export-lost.txt"; }
if ! wait_until 60 some_records; then
  fail cli-export-lost "no progress within 60 s: $(tail -n 2 "$out/cli-export-lost.txt" | tr '\n' ' ')"
  kill "$lost_cli" 2>/dev/null
else
  kill -KILL "$lost_pid"
  wait "$lost_pid" 2>/dev/null
  lost_pid=""
  wait "$lost_cli"
  rc=$?
  partial=("$lost_dir"/Partial_Report_*.csv)
  # Where the system reports the port gone, as Linux and a Windows adapter
  # pulled out do, and as Wine's read on the pty does now that the export
  # reads on its poll (seen once), it is a lost device (exit 3). A line
  # that only falls silent is a stream stopped short of the records
  # announced (exit 6). Either way what arrived is kept.
  if [ "$rc" -ne 3 ] && [ "$rc" -ne 6 ]; then
    fail cli-export-lost "exit code $rc, not 3 or 6 ($(tail -n 1 "$out/cli-export-lost.txt"))"
  elif [ ! -f "${partial[0]}" ] || [ "$(wc -l < "${partial[0]}")" -lt 200 ]; then
    fail cli-export-lost "no partial report with what arrived: $(ls "$lost_dir" | tr '\n' ' ')"
  elif ! grep -q "$(basename "${partial[0]}")" "$out/cli-export-lost.txt"; then
    fail cli-export-lost "the failure does not name the partial report: $(tail -n 1 "$out/cli-export-lost.txt")"
  elif ls "$lost_dir"/Report_*.csv > /dev/null 2>&1; then
    fail cli-export-lost "a complete-looking Report_*.csv was left: $(ls "$lost_dir" | tr '\n' ' ')"
  else
    pass cli-export-lost "exit $rc, $(basename "${partial[0]}") with $(wc -l < "${partial[0]}") of 5000 records"
  fi
fi

# --- cli-upgrade -------------------------------------------------------------
begin
head -c 40000 /dev/urandom > "$work/smoke-firmware.bin"
timeout 300 wine "$cli" --port COM5 upgrade "$(winepath -w "$work/smoke-firmware.bin")" \
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
elif ! grep -q 'Upgrade completed: the device runs V1.10' "$out/cli-upgrade.txt"; then
  # The image arrived; the program must also hear the device start it.
  fail cli-upgrade "the device's new version was not heard: $(tr -d '\r' < "$out/cli-upgrade.txt" | tail -n 1)"
else
  pass cli-upgrade "$(tr -d '\r' < "$out/cli-upgrade.txt" | tail -n 1)"
fi
cp "$unicode_dir"/logs/K9Z40_*.log "$out/cli.log" 2>/dev/null

# --- cli-history ---------------------------------------------------------------
# Every job above left its line in the service history beside the program;
# the upgrade's names the file sent and its SHA-256.
begin
wine "$cli" history --json > "$out/cli-history.txt" 2>&1
rc=$?
firmware_sha="$(sha256sum "$work/smoke-firmware.bin" | cut -c1-64)"
cp "$unicode_dir/service-history.csv" "$out/cli-service-history.csv" 2>/dev/null
if [ "$rc" -ne 0 ]; then
  fail cli-history "exit code $rc ($(tail -n 1 "$out/cli-history.txt"))"
elif ! grep '"event":"record"' "$out/cli-history.txt" | grep '"job":"upgrade"' \
     | grep '"outcome":"succeeded"' | grep -q "\"firmware_sha256\":\"$firmware_sha\""; then
  fail cli-history "no succeeded upgrade of smoke-firmware.bin ($firmware_sha) in the history"
elif ! grep '"event":"record"' "$out/cli-history.txt" | grep -q '"job":"information".*"device_serial":"08123456"\|"device_serial":"08123456".*"job":"information"'; then
  fail cli-history "no information record of the device 08123456"
else
  pass cli-history "$(grep -c '"event":"record"' "$out/cli-history.txt") records"
fi

# --- cli-support ---------------------------------------------------------------
# The support file for support: one zip, whole, with the summary (the ports
# listed), the settings, the logs and the service history.
begin
support_dir="$WINEPREFIX/drive_c/support"
wine "$cli" support-file "$(winepath -w "$support_dir")" > "$out/cli-support.txt" 2>&1
rc=$?
support_zip=("$support_dir"/kestrelpack-support-*.zip)
# Read whole before they are searched: under pipefail, "unzip ... | grep -q"
# fails when grep has its match and leaves before unzip has written the rest.
support_list="$(unzip -l "${support_zip[0]}" 2>/dev/null)"
support_summary="$(unzip -p "${support_zip[0]}" summary.txt 2>/dev/null)"
if [ "$rc" -ne 0 ]; then
  fail cli-support "exit code $rc ($(tail -n 1 "$out/cli-support.txt"))"
elif [ ! -f "${support_zip[0]}" ] || ! unzip -t "${support_zip[0]}" > "$out/cli-support-unzip.txt" 2>&1; then
  fail cli-support "no zip that tests whole: $(ls "$support_dir" 2>&1 | tr '\n' ' ')"
elif ! grep -q 'service-history.csv' <<< "$support_list" || ! grep -q 'logs/K9Z40_' <<< "$support_list"; then
  fail cli-support "the history or the log is missing: $(tail -n +4 <<< "$support_list" | awk '{print $4}' | tr '\n' ' ')"
elif ! grep -q 'COM5' <<< "$support_summary"; then
  fail cli-support "the summary's port list has no COM5"
else
  pass cli-support "$(basename "${support_zip[0]}"), $(unzip -l "${support_zip[0]}" | tail -n 1 | awk '{print $2}') entries"
fi

# --- log-fallback ----------------------------------------------------------------
# A folder the command line cannot write, as Program Files is to a standard
# user. Wine runs as root here, who ignores permission bits: the folder is
# made immutable instead.
begin
locked="$WINEPREFIX/drive_c/Locked Tools"
user_logs="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Kestrelpack/logs"
mkdir -p "$locked"
cp "$stage/kestrelpack-cli.exe" "$locked/"
rm -rf "$user_logs"
if ! chattr +i "$locked" 2>"$work/chattr.err"; then
  fail log-fallback "cannot make a folder unwritable here: $(cat "$work/chattr.err")"
else
  timeout 120 wine "$locked/kestrelpack-cli.exe" --port COM5 info > "$out/log-fallback.txt" 2>&1
  rc=$?
  chattr -i "$locked"
  if [ "$rc" -ne 0 ]; then
    fail log-fallback "exit code $rc ($(tail -n 1 "$out/log-fallback.txt"))"
  elif ! grep -q -s 'Job end: information succeeded' "$user_logs"/K9Z40_*.log; then
    fail log-fallback "no log with the job in $user_logs: $(ls "$locked" "$user_logs" 2>&1 | tr '\n' ' ')"
  elif [ "$(ls -A "$locked")" != "kestrelpack-cli.exe" ]; then
    fail log-fallback "something was written beside the program: $(ls -A "$locked" | tr '\n' ' ')"
  else
    pass log-fallback
  fi
fi
locked=""

# --- the window ------------------------------------------------------------
source "$root/scripts/windows-window.sh"
begin
if run_window "$unicode_dir/kestrelpack.exe" "$out/window.png"; then
  pass window
else
  fail window "$why"
fi

window_walkthrough
window_scales
window_fits

# --- installer ---------------------------------------------------------------
source "$root/scripts/windows-installer.sh"
installer_program_files
installer_folder_and_update

echo "windows-smoke: screenshots and logs in $out ($((SECONDS - smoke_start)) s)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
