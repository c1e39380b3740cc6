#!/usr/bin/env bash
# Installs what is missing, builds, and runs Kestrelpack's window against the
# device simulator, so its three jobs can be tried without a device.
#
# With a display (DISPLAY or WAYLAND_DISPLAY): the window opens with the
# simulated device as its only port and is left to you; closing it ends the
# demo and stops the simulator.
#
# Without a display: the window runs under its own Xvfb and the demo works
# it as a technician would, with clicks and typing: "Device Information",
# then "Export report" (folder typed into the program's folder dialog), then
# "Update" (a generated 64 KiB image typed into its file dialog). It waits
# for what can be seen (the program's trace, the report, the image the
# simulator stored, the pixels of the page), saves a screenshot of each
# outcome in <build>/demo-screenshots/, checks the report against the
# simulator's records and the stored image byte for byte, closes the window,
# and exits 0 only when all three jobs succeeded.
#
#   KESTRELPACK_DEMO_HEADLESS=1       walk through the jobs even with a display
#   KESTRELPACK_DEMO_KEYS=1           without a display: the same jobs with key
#                                     presses only (Tab, Enter, Space, Escape,
#                                     typing in the dialogs), a screenshot
#                                     showing the focus before each key that
#                                     acts, in <build>/demo-screenshots/keys-*
#   KESTRELPACK_DEMO_SIM_ARGS="..."   extra simulator options, e.g. "--silent"
#                                     to see how a device that does not answer
#                                     is reported
#
# Nothing here scans the machine's serial ports: the program is given the
# simulator's pseudo-terminal through KESTRELPACK_SERIAL_PORTS.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"

demo_start=$SECONDS
headless=1
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${KESTRELPACK_DEMO_HEADLESS:-}" ]; then
  headless=0
fi

work="$(mktemp -d -t kestrelpack-demo.XXXXXX)"
sim_pid=""
app_pid=""
xvfb_pid=""

source "$root/scripts/processes.sh"
cleanup() {
  stop_pid "$app_pid"
  stop_pid "$sim_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# --- the simulated device -------------------------------------------------
# The device's log records, as it streams them: space-separated fields, an
# "An invalid record." line now and then, which the report leaves out.
mkdir -p "$work/received" "$work/reports" "$work/firmware"
for i in $(seq 1 48); do
  printf '%04d 2026-03-%02d %02d:%02d:00 %s %d\n' "$i" $((1 + i / 4)) $((6 + i % 12)) $((i * 7 % 60)) \
    "$(case $((i % 6)) in 0) echo POWER_ON;; 1) echo SELF_TEST_OK;; 2) echo TEMP_HIGH;;
                          3) echo VOLTAGE_LOW;; 4) echo DOOR_OPEN;; *) echo POWER_OFF;; esac)" $((180 + i * 37 % 90))
  if [ $((i % 12)) -eq 0 ]; then echo "An invalid record."; fi
done > "$work/records.txt"
grep -v '^An invalid record\.$' "$work/records.txt" | tr ' ' ',' > "$work/expected-report.csv"
firmware="$work/firmware/demo-firmware.bin"
head -c 65536 /dev/urandom > "$firmware"

# shellcheck disable=SC2086 # the extra options are meant to be split
"$build/simulator/kestrelpack-devsim" --records-file "$work/records.txt" \
  --image-dir "$work/received" --c-interval 250 --rate 11520 --transcript "$work/frames.txt" \
  ${KESTRELPACK_DEMO_SIM_ARGS:-} > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
sim_has_port() { [ -n "$(head -n 1 "$work/sim.out")" ]; }
if ! wait_until 10 sim_has_port; then
  echo "demo: the simulator printed no device path:" >&2
  cat "$work/sim.err" >&2
  exit 1
fi
port="$(head -n 1 "$work/sim.out")"
echo "== simulated device on $port (firmware V1.10, serial number 08123456, 48 log records)"

# The program keeps config/ and logs/ beside its executable: a copy of it in
# the demo's folder keeps both there and away from the build.
mkdir -p "$work/app/config"
cp "$build/app/kestrelpack" "$work/app/kestrelpack"
app="$work/app/kestrelpack"
export KESTRELPACK_SERIAL_PORTS="$port"

# What the device was given, printed at the end of either kind of demo.
summary() {
  local f
  # Transcript lines: milliseconds, the device's state, the frame in hex (or
  # "!" and a note).
  if [ -f "$work/frames.txt" ]; then
    awk '$3 != "!" { n++; if ($2 == "ymodem") y++ }
      END { printf "== the simulator received %d frames: %d commands, %d YMODEM frames (blocks, EOT)\n", n, n - y, y }' \
      "$work/frames.txt"
  fi
  for f in "$work"/received/*; do
    [ -e "$f" ] || continue
    echo "== image stored by the device: $(basename "$f"), $(stat -c %s "$f") bytes"
  done
  for f in "$work"/reports/Report_*.csv; do
    [ -e "$f" ] || continue
    echo "== report $(basename "$f"): $(wc -l < "$f") lines"
  done
}

if [ "$headless" -eq 0 ]; then
  # The dialogs open on the demo's report folder and firmware image.
  printf '[software]\nexportdir=%s\nupgradedir=%s\n' "$work/reports" "$firmware" > "$work/app/config/config.ini"
  cat <<EOF
== the program's window opens with the simulated device as its only port.
   Try, from the menu:
   - "Device Information": version V1.10, serial number 08123456;
   - "Export report": "Select path" (it opens on $work/reports), then "Export";
   - "Update": "Select path" (it offers $firmware, a random 64 KiB image),
     then "Update".
   Close the window to end the demo; the simulator stops with it.
EOF
  set +e
  "$app" > "$work/program.out" 2>&1
  app_status=$?
  set -e
  echo "== the program ended with code $app_status"
  summary
  if [ -e "$work/received/demo-firmware.bin" ]; then
    if cmp -s "$firmware" "$work/received/demo-firmware.bin"; then
      echo "== the device received the image byte for byte"
    else
      echo "== the image the device stored differs from the one sent"
    fi
  fi
  exit "$app_status"
fi

# --- the walk-through under Xvfb ------------------------------------------
shots="$build/demo-screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.png

# Xvfb picks a free display number itself and writes it to the given fd.
Xvfb -displayfd 3 -screen 0 1296x816x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.err" &
xvfb_pid=$!
has_display() { [ -s "$work/display" ]; }
if ! wait_until 10 has_display; then
  echo "demo: Xvfb did not start:" >&2
  cat "$work/xvfb.err" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY
echo "== virtual display $DISPLAY"

# Its own runtime and configuration folders (the file dialog remembers its
# history there), and English texts, whatever the machine's language.
mkdir -p -m 700 "$work/xdg-runtime" "$work/xdg-config"
printf '[software]\nlanguage=1\n' > "$work/app/config/config.ini"
: > "$work/program.out"
XDG_RUNTIME_DIR="$work/xdg-runtime" XDG_CONFIG_HOME="$work/xdg-config" QT_QPA_PLATFORM=xcb \
  "$app" > "$work/program.out" 2>&1 &
app_pid=$!

# Window geometry, from ui/mainform.ui: the pages start at (10,82) of the
# window ("widget" at (8,8), the work area at (0,74), the page stack at
# (2,0)). Menu buttons are 232x150 at y 251 and x 254, 524, 812.
menu_y=$((82 + 251 + 75))
export_x=$((10 + 254 + 116)); upgrade_x=$((10 + 524 + 116)); info_x=$((10 + 812 + 116))
# Each task page is a 420x235 card at (430,208) of its page; in the card
# (ui/*widget.ui) the sub-pages start at (10,60). Inside them: the "Select
# path" link (9,40,101,20), the Export/Update button (201,100,158,54) and the
# progress bar (30,90,341,4); the return button (384,18,18,18) is on the card.
card_x=$((10 + 430)); card_y=$((82 + 208))
sub_x=$((card_x + 10)); sub_y=$((card_y + 60))
select_x=$((sub_x + 9 + 50)); select_y=$((sub_y + 40 + 10))
action_x=$((sub_x + 201 + 79)); action_y=$((sub_y + 100 + 27))
return_x=$((card_x + 384 + 9)); return_y=$((card_y + 18 + 9))
bar_end_x=$((sub_x + 30 + 338)); bar_y=$((sub_y + 90 + 1))
# The window's close button (1232,22,18,18) in "widget".
close_x=$((8 + 1232 + 9)); close_y=$((8 + 22 + 9))
bar_colour="2D97FF"   # the progress bar's chunk

screen="$work/screen.png"
shot() { import -window root "${1:-$screen}"; }
pixel() { convert "$screen" -format "%[hex:p{$1,$2}]" info:; }
click() { xdotool mousemove --sync "$1" "$2" click 1; }
# act NAME X Y KEY...: a click at X,Y, or with KESTRELPACK_DEMO_KEYS the keys
# (all but the last move the focus; a screenshot shows where it is; the last
# one acts).
keys="${KESTRELPACK_DEMO_KEYS:-0}"
key_step=0
act() {
  local name="$1" x="$2" y="$3"; shift 3
  if [ "$keys" != 1 ]; then
    click "$x" "$y"
    return
  fi
  local moves=("${@:1:$#-1}") last="${!#}" previous="" current i
  [ "${#moves[@]}" -eq 0 ] || xdotool key --delay 80 "${moves[@]}"
  # The ring is painted once two screenshots in a row agree.
  for i in $(seq 1 15); do
    shot; current="$(md5sum < "$screen")"
    [ "$current" = "$previous" ] && break
    previous="$current"; sleep 0.1
  done
  key_step=$((key_step + 1))
  cp "$screen" "$shots/keys-$(printf %02d "$key_step")-$name.png"
  xdotool key "$last"
}
# Width in pixels of what is drawn in a region of the last screenshot.
drawn_width() {
  convert "$screen" -crop "$1" +repage -fuzz 20% -trim -format '%w' info: 2>/dev/null
}
# A card whose pixels no longer change has settled (the dots stopped, the
# last text and bar value painted).
card_digest() { convert "$screen" -crop "420x235+$card_x+$card_y" +repage rgb:- | md5sum; }
settle() {
  local previous="" current i
  for i in $(seq 1 15); do
    shot
    current="$(card_digest)"
    [ "$current" = "$previous" ] && return 0
    previous="$current"
    sleep 0.2
  done
}
return_shown() { shot && [ "$(pixel "$return_x" "$return_y")" != "FFFFFF" ]; }
return_hidden() { shot && [ "$(pixel "$return_x" "$return_y")" = "FFFFFF" ]; }
# The program's trace since a given line.
trace_since() { tail -n "+$(($1 + 1))" "$work/program.out"; }
trace_lines() { wc -l < "$work/program.out"; }
# (grep reads to the end: with -q, tail could die of a closed pipe.)
trace_has() { trace_since "$1" | grep -xF "$2" > /dev/null; }
# The device results the program relays, in its trace as "QSerialUser: text".
results_since() { trace_since "$1" | sed -n 's/^QSerialUser: //p'; }
last_result() { results_since "$1" | tail -n 1; }

fail() {
  local job="$1"; shift
  if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid" 2>/dev/null && status=0 || status=$?
    app_pid=""
    echo "demo: $job: FAILED: the program ended unexpectedly (exit code $status)" >&2
  else
    shot "$shots/$job-failed.png" 2>/dev/null || true
    echo "demo: $job: FAILED: $*" >&2
    echo "demo: the window as it was: $shots/$job-failed.png" >&2
  fi
  echo "--- the program's last trace lines:" >&2
  tail -n 15 "$work/program.out" >&2
  echo "--- the simulator:" >&2
  cat "$work/sim.err" >&2
  summary >&2
  exit 1
}

window_painted() { grep -q '^Main window shown after' "$work/program.out"; }
wait_until 20 window_painted || fail start "the window was not shown within 20 s"
window_id() { xdotool search --onlyvisible --name '^Kestrelpack$' 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_id)" ]; }
wait_until 10 has_window || fail start "no visible window named Kestrelpack"
wid="$(window_id)"
# No window manager: the frameless window goes where it is told.
xdotool windowmove "$wid" 0 0
at_origin() { xwininfo -id "$wid" | grep -q 'Absolute upper-left X:  0' &&
              xwininfo -id "$wid" | grep -q 'Absolute upper-left Y:  0'; }
wait_until 5 at_origin || fail start "the window could not be moved to the screen's corner"
# No window manager gives the window the keyboard: the demo does, once.
[ "$keys" != 1 ] || xdotool windowfocus --sync "$wid"
echo "== the program's window is up ($(grep '^Main window shown after' "$work/program.out"))"

# Picks a path in the program's own file dialog: waits for it, types the
# path into its name field and presses Enter.
dialog_id() { xdotool search --onlyvisible --name '^Select path$' 2>/dev/null | head -n 1; }
has_dialog() { [ -n "$(dialog_id)" ]; }
no_dialog() { [ -z "$(dialog_id)" ]; }
choose_in_dialog() {
  local job="$1" path="$2" dialog
  wait_until 10 has_dialog || fail "$job" "the \"Select path\" dialog did not open"
  dialog="$(dialog_id)"
  timeout 5 xdotool windowfocus --sync "$dialog" || true
  xdotool type --delay 15 "$path"
  xdotool key Return
  if ! wait_until 3 no_dialog; then
    # The name field's completion list may have taken the first Enter.
    xdotool key Return
    wait_until 5 no_dialog || fail "$job" "the dialog did not take $path"
  fi
}
setting_is() { grep -qxF "$1=$2" "$work/app/config/config.ini"; }

# --- job 1: device information ---------------------------------------------
echo "== 1. device information: \"Device Information\""
job_start=$SECONDS
mark="$(trace_lines)"
act information "$info_x" "$menu_y" Tab Tab Return
info_shown() { trace_has "$mark" "QSerialUser: V1.10" && trace_has "$mark" "QSerialUser: 08123456"; }
# Any other result is a failure ("Failed to open serial port", ...).
info_other() { results_since "$mark" | grep -vxF -e V1.10 -e 08123456 | head -n 1; }
info_over() { info_shown || [ -n "$(info_other)" ]; }
wait_until 20 info_over || fail information "no version and serial number within 20 s"
info_shown || fail information "the device's answer: $(info_other)"
settle
shot "$shots/1-information.png"
echo "   shown: firmware version V1.10, serial number 08123456 ($((SECONDS - job_start)) s)"
act information-return "$return_x" "$return_y" Escape

# --- job 2: report export --------------------------------------------------
echo "== 2. report export: \"Export report\", \"Select path\" $work/reports, \"Export\""
job_start=$SECONDS
act export "$export_x" "$menu_y" shift+Tab shift+Tab Return
act export-select-path "$select_x" "$select_y" Tab space
choose_in_dialog export "$work/reports"
wait_until 5 setting_is exportdir "$work/reports" || fail export "the chosen folder did not reach the page"
mark="$(trace_lines)"
wait_until 5 return_shown || fail export "the export page is not shown"
act export-start "$action_x" "$action_y" Tab Tab Tab Return
wait_until 5 return_hidden || fail export "\"Export\" did not start the export"
export_done() { trace_has "$mark" "QSerialUser: End"; }
export_over() { export_done || return_shown; }
wait_until 60 export_over || fail export "no outcome within 60 s"
export_done || fail export "the export ended without success (last result: $(last_result "$mark"))"
settle
shot "$shots/2-export.png"
[ "$(pixel "$bar_end_x" "$bar_y")" = "$bar_colour" ] || fail export "the progress bar does not stand at 100"
reports=("$work"/reports/Report_*.csv)
[ "${#reports[@]}" -eq 1 ] && [ -f "${reports[0]}" ] || fail export "no single report in $work/reports"
cmp -s "$work/expected-report.csv" "${reports[0]}" ||
  fail export "the report $(basename "${reports[0]}") does not hold the device's 48 records"
echo "   $(basename "${reports[0]}"): $(wc -l < "${reports[0]}") lines, the device's 48 valid records ($((SECONDS - job_start)) s)"
act export-return "$return_x" "$return_y" Escape

# --- job 3: firmware upgrade ------------------------------------------------
echo "== 3. firmware upgrade: \"Update\", \"Select path\" $(basename "$firmware") (64 KiB), \"Update\""
job_start=$SECONDS
act upgrade "$upgrade_x" "$menu_y" Tab Return
act upgrade-select-path "$select_x" "$select_y" Tab space
choose_in_dialog upgrade "$firmware"
wait_until 5 setting_is upgradedir "$firmware" || fail upgrade "the chosen file did not reach the page"
wait_until 5 return_shown || fail upgrade "the upgrade page is not shown"
act upgrade-start "$action_x" "$action_y" Tab Tab Tab Return
wait_until 5 return_hidden || fail upgrade "\"Update\" did not start the upgrade"
shot "$shots/3-upgrade-running.png"
# The tip label (20,30,361,51) of the sub-page: the outcome, and under a
# completed transfer the device's word on a second line.
tip_region="361x51+$((sub_x + 20))+$((sub_y + 30))"
running_width="$(drawn_width "$tip_region")"
# The program itself gives up on a silent boot loader after 150 s.
wait_until 180 return_shown || fail upgrade "no outcome within 180 s"
# The way back opens with the completed transfer; the outcome waits for the
# device's word (up to 22 s), which a boot loader that answers again turns
# into "Upgrade failed", as wide as "during upgrade".
tip_changed() { shot && [ "$(drawn_width "$tip_region")" != "$running_width" ]; }
wait_until 30 tip_changed || true
settle
shot "$shots/3-upgrade.png"
# "Upgrade completed" is three letters longer than "during upgrade" and
# "Upgrade failed", which are of a length: the outcome (with the device's
# word under it, no narrower) must be clearly wider.
final_width="$(drawn_width "$tip_region")"
[ -n "$running_width" ] && [ -n "$final_width" ] && [ "$final_width" -ge $((running_width + 15)) ] ||
  fail upgrade "the page does not show \"Upgrade completed\" (its text is ${final_width:-?} px wide, ${running_width:-?} px while running)"
[ "$(pixel "$bar_end_x" "$bar_y")" = "$bar_colour" ] || fail upgrade "the progress bar does not stand at 100"
# "Upgrade failed" with its reason is as wide: the log says which it was.
grep -qh '\] Job end: upgrade completed' "$work"/app/logs/*.log ||
  fail upgrade "the log's job end is no completed upgrade: $(grep -h '\] Job end: upgrade' "$work"/app/logs/*.log | tail -n 1)"
image="$work/received/$(basename "$firmware")"
[ -f "$image" ] || fail upgrade "the page shows success, but the device stored no image"
cmp -s "$firmware" "$image" || fail upgrade "the image the device stored differs from the one sent"
echo "   the device stored $(basename "$image"), $(stat -c %s "$image") bytes, byte for byte the image sent ($((SECONDS - job_start)) s)"

# --- the end: close the window as a person would -----------------------------
act upgrade-return "$return_x" "$return_y" Escape
act close "$close_x" "$close_y" shift+Tab shift+Tab Return
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
saved_pid="$app_pid"; app_pid=""
wait_until 10 app_ended || { app_pid="$saved_pid"; fail close "the program did not end when its window was closed"; }
wait "$saved_pid" && status=0 || status=$?
[ "$status" -eq 0 ] || fail close "the program ended with code $status when its window was closed"
log="$(ls "$work"/app/logs/*.log 2>/dev/null | head -n 1)"
echo "== the window closed; the program's log ends with \"$(tail -n 1 "$log" 2>/dev/null | tr -d '\r' | sed 's/.*\] //')\""
summary
echo "== screenshots: $shots/"
ls -1 "$shots"
echo "== all three jobs succeeded in the window ($((SECONDS - demo_start)) s after the build)"
