# The window's cases of the Wine smoke test (run_window, also used for the
# installed program, and the functions below); sourced by
# scripts/windows-smoke.sh, whose prefix, display, simulator, pass/fail and
# folders it uses.
#
#   window_walkthrough   the three jobs clicked as a technician would: "Device
#                        Information"; "Export report", "Select path" (the
#                        folder typed into the dialog), "Export"; "Update",
#                        "Select path" (the image typed in), "Update". Each
#                        outcome is read from the program's log, photographed,
#                        and checked: the report against the device's records,
#                        the image byte for byte.
#   window_scales        the menu and the three pages at 96, 120, 144 and
#                        192 DPI in English and in Spanish (the longest
#                        texts), each window measured against 1296 x 816
#                        times the screen's factor.
#   window_fits          at 144 DPI on a 1920 x 1080 screen, where 150 %
#                        would make the window taller than the screen: it
#                        comes up at 125 %, and the log says why; at 96 DPI
#                        on a 1024 x 768 screen, at 79 % (drawn smaller by
#                        its host), inside the screen, dragged and closed by
#                        its close button.

win_dir="$WINEPREFIX/drive_c/Kestrelpack window"
win_exe="$win_dir/kestrelpack.exe"
# The logs folder beside the program started last, and that program.
win_logs="$win_dir/logs"
win_log() { cat "$win_logs"/K9Z40_*.log 2>/dev/null | tr -d '\r'; }
win_pid=""

# Points of ui/mainform.ui and the pages' forms, in unscaled pixels from the
# window's corner (see scripts/demo.sh for where they come from): the menu
# buttons, and on a task page's card the "Select path" link, the
# Export/Update button, the return button; the window's close button.
menu_y=408; export_x=380; upgrade_x=650; info_x=948
support_x=265; support_y=40   # "Support" beside "Language" in the title band (English)
select_x=509; select_y=400; action_x=730; action_y=477
return_x=833; return_y=317; close_x=1249; close_y=39

# The window's place and size on the screen: sets win_x win_y win_w win_h.
window_id() { xdotool search --onlyvisible --name '^Kestrelpack$' 2>/dev/null | head -n 1; }
measure_window() {
  local wid info
  wid="$(window_id)"
  [ -n "$wid" ] || return 1
  info="$(xwininfo -id "$wid")"
  win_x="$(awk '/Absolute upper-left X:/ { print $4 }' <<< "$info")"
  win_y="$(awk '/Absolute upper-left Y:/ { print $4 }' <<< "$info")"
  win_w="$(awk '/Width:/ { print $2 }' <<< "$info")"
  win_h="$(awk '/Height:/ { print $2 }' <<< "$info")"
  [ -n "$win_w" ] && [ "$win_w" -gt 100 ]
}
# Clicks a point of the window given in unscaled pixels, at the factor $scale.
click_at() {
  xdotool mousemove --sync "$(awk -v o="$win_x" -v p="$1" -v f="$scale" 'BEGIN { printf "%d", o + p * f + 0.5 }')" \
    "$(awk -v o="$win_y" -v p="$2" -v f="$scale" 'BEGIN { printf "%d", o + p * f + 0.5 }')" click 1
}
window_shot() { import -window root -crop "${win_w}x${win_h}+${win_x}+${win_y}" +repage "$1"; }

# Starts the program at EXE (a Unix path; it logs beside itself) and waits
# until its window is shown and measured; leaves the reason of a failure in
# $why.
launch_window() {
  win_logs="$(dirname "$1")/logs"
  rm -rf "$win_logs"
  wine "$1" > "$work/window.out" 2>&1 &
  win_pid=$!
  shown() { win_log | grep -q 'Main window shown after'; }
  if ! wait_until 60 shown; then
    why="no 'Main window shown' in $win_logs within 60 s"
    return 1
  fi
  if ! wait_until 10 measure_window; then
    why="no visible window named Kestrelpack"
    return 1
  fi
  sleep 1 # the first paint is logged as it starts
}
# The walk-through's copy of the program, in LANGUAGE (an id).
start_window() {
  mkdir -p "$win_dir/config"
  printf '[software]\nlanguage=%s\n' "$1" > "$win_dir/config/config.ini"
  launch_window "$win_exe"
}
# Asks the window to close (taskkill without /f) and leaves the program's
# exit code in win_rc; win_killed is 1 when it had to be killed after 30 s.
stop_window() {
  [ -n "$win_pid" ] || return 0
  wine taskkill /im kestrelpack.exe > /dev/null 2>&1
  win_killed=0
  if ! wait_until 30 bash -c "! kill -0 $win_pid 2>/dev/null"; then
    kill "$win_pid" 2>/dev/null
    win_killed=1
  fi
  wait "$win_pid" 2>/dev/null
  win_rc=$?
  win_pid=""
}
# Starts the program at EXE, keeps a picture of its window as SHOT, closes it
# and checks a clean quit; leaves the reason of a failure in $why.
run_window() {
  if ! launch_window "$1"; then
    stop_window
    return 1
  fi
  window_shot "$2"
  stop_window
  if [ "$win_killed" = 1 ]; then
    why="still running 30 s after being asked to close"
    return 1
  fi
  if [ "$win_rc" -ne 0 ]; then
    why="exit code $win_rc"
    return 1
  fi
  if ! win_log | tail -n 1 | grep -q 'Application finished'; then
    why="the log does not end with 'Application finished'"
    return 1
  fi
}

# Types a path into the file or folder dialog and takes it with its "Open"
# button (Wine's dialog leaves Return to the file list). Wine titles the
# folder picker "Select Folder" whatever the program asks; a 108-pixel
# window of the program's own also bears the title "Select path".
dialog_id() {
  local id
  for id in $(xdotool search --onlyvisible --name '^Select (path|Folder)$' 2>/dev/null); do
    [ "$(xwininfo -id "$id" | awk '/Width:/ { print $2 }')" -gt 300 ] && { echo "$id"; return; }
  done
}
has_dialog() { [ -n "$(dialog_id)" ]; }
no_dialog() { [ -z "$(dialog_id)" ]; }
choose_path() {
  local info x y w h
  if ! wait_until 15 has_dialog; then
    why="the \"Select path\" dialog did not open"
    return 1
  fi
  sleep 1
  info="$(xwininfo -id "$(dialog_id)")"
  x="$(awk '/Absolute upper-left X:/ { print $4 }' <<< "$info")"
  y="$(awk '/Absolute upper-left Y:/ { print $4 }' <<< "$info")"
  w="$(awk '/Width:/ { print $2 }' <<< "$info")"
  h="$(awk '/Height:/ { print $2 }' <<< "$info")"
  # The name field, then "Open", from the dialog's lower right corner.
  xdotool mousemove --sync $((x + w - 342)) $((y + h - 43)) click 1
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  sleep 0.5
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/walk-dialog-$2.png"
  xdotool mousemove --sync $((x + w - 113)) $((y + h - 17)) click 1
  if ! wait_until 10 no_dialog; then
    why="the dialog did not take $1"
    return 1
  fi
}
job_ended() { win_log | grep -q "Job end: $1"; }
save_dialog_shown() { [ -n "$(xdotool search --onlyvisible --name '^Save the support file$' 2>/dev/null)" ]; }

# Opens the task page whose menu button is at MENU_X, picks PATH in its
# dialog, clicks its action button and waits up to SECONDS for the JOB's end
# line, which must hold SUCCESS; leaves the reason of a failure in $why.
page_job() { # MENU_X PATH JOB SECONDS SUCCESS
  click_at "$1" "$menu_y"
  click_at "$select_x" "$select_y"
  choose_path "$(winepath -w "$2")" "$3" || return 1
  sleep 1
  click_at "$action_x" "$action_y"
  if ! wait_until "$4" job_ended "$3"; then
    why="no outcome in the log within $4 s"
    return 1
  fi
  if ! job_ended "$5"; then
    why="$(win_log | grep "Job end: $3" | tail -n 1)"
    return 1
  fi
}

window_walkthrough() {
  local reports image firmware="$work/walk-firmware.bin" report_dir="$WINEPREFIX/drive_c/Walk reports"
  scale=1
  mkdir -p "$win_dir" "$report_dir"
  cp "$stage/kestrelpack.exe" "$win_dir/"
  head -c 65536 /dev/urandom > "$firmware"

  begin
  if ! start_window 1; then
    fail window-walk "$why"; stop_window; return
  fi
  click_at "$info_x" "$menu_y"
  if ! wait_until 30 job_ended information; then
    fail window-info "no outcome in the log within 30 s"
  elif ! job_ended "information succeeded"; then
    fail window-info "$(win_log | grep 'Job end: information' | tail -n 1)"
  else
    sleep 1
    window_shot "$out/walk-1-information.png"
    pass window-info
  fi
  click_at "$return_x" "$return_y"

  begin
  if ! page_job "$export_x" "$report_dir" export 60 "export succeeded"; then
    fail window-export "$why"
  else
    reports=("$report_dir"/Report_*.csv)
    sleep 1
    window_shot "$out/walk-2-export.png"
    if [ ! -f "${reports[0]}" ]; then
      fail window-export "no report in the chosen folder"
    elif ! tr -d '\r' < "${reports[0]}" | cmp -s "$work/expected-report.csv" -; then
      fail window-export "the report does not hold the device's records"
    else
      pass window-export "$(basename "${reports[0]}"), $(wc -l < "${reports[0]}") records"
    fi
  fi
  click_at "$return_x" "$return_y"

  begin
  image="$work/received/$(basename "$firmware")"
  # Completed, and the device heard answering with its version afterwards.
  if ! page_job "$upgrade_x" "$firmware" upgrade 240 "upgrade completed.*answers as application firmware V1.10"; then
    fail window-upgrade "$why"
  elif ! wait_until 10 test -f "$image" || ! cmp -s "$firmware" "$image"; then
    fail window-upgrade "the device did not store the image byte for byte"
  else
    sleep 1
    window_shot "$out/walk-3-upgrade.png"
    pass window-upgrade "$(win_log | grep 'Job end: upgrade' | tail -n 1 | sed 's/.*Job end: //')"
  fi
  click_at "$return_x" "$return_y"

  # The window's three jobs in its service history, the upgrade's with the
  # file's name and SHA-256.
  begin
  local history="$win_dir/service-history.csv" firmware_sha
  firmware_sha="$(sha256sum "$firmware" | cut -c1-64)"
  cp "$history" "$out/window-service-history.csv" 2>/dev/null
  if [ ! -f "$history" ]; then
    fail window-history "no service-history.csv beside the program"
  elif ! grep ',information,08123456,V1.10,V1.10,' "$history" | grep -q ',succeeded,'; then
    fail window-history "no succeeded information record of 08123456: $(tail -n 3 "$history" | tr '\n' ' ')"
  elif ! grep ',export,' "$history" | grep -q ',succeeded,'; then
    fail window-history "no succeeded export record"
  elif ! grep ",upgrade,08123456,V1.10,V1.10,$(basename "$firmware"),65536,$firmware_sha," "$history" \
       | grep -q ',succeeded,'; then
    fail window-history "no succeeded upgrade of $(basename "$firmware") ($firmware_sha) from V1.10 to V1.10"
  else
    pass window-history "$(($(wc -l < "$history") - 1)) records"
  fi

  # "Support" in the title band: the save dialog takes a name, the window
  # writes the zip and says so in a message box.
  begin
  local zip="$WINEPREFIX/drive_c/walk-support.zip" box
  click_at "$support_x" "$support_y"
  if ! wait_until 15 save_dialog_shown; then
    fail window-support "the save dialog did not open"
  else
    sleep 1
    xdotool key ctrl+a
    xdotool type --delay 20 "$(winepath -w "$zip")"
    xdotool key Return
    if ! wait_until 20 test -s "$zip"; then
      fail window-support "no zip written: $(win_log | grep 'Support file' | tail -n 1)"
    elif ! unzip -t "$zip" > "$out/window-support-unzip.txt" 2>&1; then
      fail window-support "the zip does not test whole: $(tail -n 1 "$out/window-support-unzip.txt")"
    # Read whole before they are searched (grep -q leaving early fails the
    # pipe under pipefail).
    elif ! zip_list="$(unzip -l "$zip")" || ! grep -q 'summary.txt' <<< "$zip_list" \
         || ! grep -q 'service-history.csv' <<< "$zip_list"; then
      fail window-support "summary.txt or service-history.csv missing: $(tail -n +4 <<< "$zip_list" | awk '{print $4}' | tr '\n' ' ')"
    elif ! grep -q 'COM5' <<< "$(unzip -p "$zip" summary.txt)"; then
      fail window-support "the summary's port list has no COM5"
    else
      pass window-support "$(unzip -l "$zip" | tail -n 1 | awk '{print $2}') entries"
    fi
    # The message box that tells the outcome.
    for box in $(xdotool search --onlyvisible --name '^Kestrelpack$' 2>/dev/null); do
      if [ "$(xwininfo -id "$box" | awk '/Width:/ { print $2 }')" -lt 800 ]; then
        xdotool windowactivate --sync "$box" 2>/dev/null
        xdotool key Return
      fi
    done
    sleep 1
  fi

  begin
  click_at "$close_x" "$close_y"
  if wait_until 20 bash -c "! kill -0 $win_pid 2>/dev/null" && win_log | tail -n 1 | grep -q 'Application finished'; then
    wait "$win_pid" 2>/dev/null
    win_pid=""
    pass window-close
  else
    fail window-close "the window's close button did not end the program cleanly"
    stop_window
  fi
  cp "$win_logs"/K9Z40_*.log "$out/walk.log" 2>/dev/null
}

# The frameless window's own frame at this factor: dragged by its title band
# by DX,DY (120,60 when not given) it follows the mouse. (Its minimise button
# cannot be seen to work here: without a window manager nothing iconifies a
# window.)
check_drag() { # NAME [DX DY]
  local x0="$win_x" y0="$win_y" band_x band_y dx="${2:-120}" dy="${3:-60}"
  begin
  band_x="$(awk -v o="$win_x" -v f="$scale" 'BEGIN { printf "%d", o + 600 * f }')"
  band_y="$(awk -v o="$win_y" -v f="$scale" 'BEGIN { printf "%d", o + 40 * f }')"
  xdotool mousemove --sync "$band_x" "$band_y" mousedown 1
  xdotool mousemove --sync $((band_x + dx / 3)) $((band_y + dy / 3))
  xdotool mousemove --sync $((band_x + dx)) $((band_y + dy)) mouseup 1
  sleep 1
  measure_window
  if [ $((win_x - x0 - dx)) -lt -3 ] || [ $((win_x - x0 - dx)) -gt 3 ] \
     || [ $((win_y - y0 - dy)) -lt -3 ] || [ $((win_y - y0 - dy)) -gt 3 ]; then
    fail "window-$1-dpi-drag" "dragged by $dx,$dy the window moved from $x0,$y0 to $win_x,$win_y"
  else
    pass "window-$1-dpi-drag" "dragged by $dx,$dy from $x0,$y0 to $win_x,$win_y"
  fi
}

# Screen factors through Wine's LogPixels; the server restarts to apply one.
set_dpi() {
  wineserver -w
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1
  wineserver -k 2>/dev/null
  wineserver -w
}

window_scales() {
  local dpi lang name expected_w expected_h sizes=""
  for dpi in 96 120 144 192; do
    set_dpi "$dpi"
    scale="$(awk -v d="$dpi" 'BEGIN { print d / 96 }')"
    for lang in 1 4; do
      name="$([ "$lang" = 1 ] && echo en || echo es)"
      begin
      if ! start_window "$lang"; then
        fail "window-$dpi-dpi-$name" "$why"; stop_window; continue
      fi
      window_shot "$out/scale-$dpi-$name-1-menu.png"
      click_at "$export_x" "$menu_y";  sleep 1; window_shot "$out/scale-$dpi-$name-2-export.png"
      click_at "$return_x" "$return_y"
      click_at "$upgrade_x" "$menu_y"; sleep 1; window_shot "$out/scale-$dpi-$name-3-upgrade.png"
      click_at "$return_x" "$return_y"
      click_at "$info_x" "$menu_y"
      wait_until 30 job_ended information
      sleep 1; window_shot "$out/scale-$dpi-$name-4-information.png"
      click_at "$return_x" "$return_y"
      if [ "$lang" = 1 ]; then
        check_drag "$dpi"
        # The language pop-up hangs below the window's title band.
        click_at 178 40; sleep 1
        window_shot "$out/scale-$dpi-$name-5-language.png"
      fi
      stop_window
      expected_w="$(awk -v f="$scale" 'BEGIN { printf "%d", 1296 * f + 0.5 }')"
      expected_h="$(awk -v f="$scale" 'BEGIN { printf "%d", 816 * f + 0.5 }')"
      sizes="$sizes $dpi/$name=${win_w}x${win_h}"
      # Within 2 %: the factor applied whole, not rounded to a whole number.
      if awk -v w="$win_w" -v h="$win_h" -v ew="$expected_w" -v eh="$expected_h" \
           'BEGIN { exit !(w > ew * 0.98 && w < ew * 1.02 && h > eh * 0.98 && h < eh * 1.02) }'; then
        pass "window-$dpi-dpi-$name" "${win_w}x${win_h} (expected ${expected_w}x${expected_h})"
      else
        fail "window-$dpi-dpi-$name" "the window is ${win_w}x${win_h}, expected ${expected_w}x${expected_h}"
      fi
    done
  done
  set_dpi 96
  echo "windows-smoke: window sizes:$sizes"
}

# One screen too small for the window at its factor, on a second Xvfb of
# SIZE at DPI: the window comes up at SCALE, WxH pixels, inside the screen,
# and the log says why. Below 1 the window is drawn smaller by its host:
# it is then also dragged and closed by its close button at that scale.
fit_screen() { # NAME SIZE DPI SCALE WxH
  local n=$((${DISPLAY#:} + 1)) display="$DISPLAY"
  begin
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${2}x24" -nolisten tcp > "$work/xvfb-small.log" 2>&1 &
  small_pid=$!
  export DISPLAY=":$n"
  if ! wait_until 10 test -e "/tmp/.X11-unix/X$n"; then
    fail "window-fit-$1" "a second Xvfb did not start"
  else
    set_dpi "$3"
    scale="$4"
    if ! start_window 1; then
      fail "window-fit-$1" "$why"
    else
      window_shot "$out/fit-$3-dpi-$1.png"
      if [ "${win_w}x${win_h}" != "$5" ]; then
        fail "window-fit-$1" "on a $2 screen at $3 DPI the window is ${win_w}x${win_h}, not $5"
      elif [ "$win_x" -lt 0 ] || [ "$win_y" -lt 0 ] || [ $((win_x + win_w)) -gt "${2%x*}" ] \
           || [ $((win_y + win_h)) -gt "${2#*x}" ]; then
        fail "window-fit-$1" "the window at $win_x,$win_y is not inside the $2 screen"
      elif ! win_log | grep -q "would not fit the window into $2 pixels: scale $4"; then
        fail "window-fit-$1" "the log does not say why the scale is $4"
      else
        pass "window-fit-$1" "$3 DPI on $2: ${win_w}x${win_h} at $win_x,$win_y, scale $4"
      fi
      if awk -v f="$4" 'BEGIN { exit !(f < 1) }'; then
        # Not so far that its close button leaves the screen.
        check_drag "$3-$1" 20 60
        begin
        click_at "$close_x" "$close_y"
        if wait_until 20 bash -c "! kill -0 $win_pid 2>/dev/null" && win_log | tail -n 1 | grep -q 'Application finished'; then
          wait "$win_pid" 2>/dev/null
          win_pid=""
          pass "window-fit-$1-close"
        else
          fail "window-fit-$1-close" "the close button at scale $4 did not end the program cleanly"
        fi
      fi
    fi
    stop_window
  fi
  export DISPLAY="$display"
  set_dpi 96
  stop_pid "$small_pid"
  small_pid=""
}

window_fits() {
  # 150 % would make the window taller than a 1080p screen: 125 %.
  fit_screen 1080p 1920x1080 144 1.25 1620x1020
  # At 100 % wider than the screen: 79 %, the floor.
  fit_screen 1024x768 1024x768 96 0.79 1024x645
}
