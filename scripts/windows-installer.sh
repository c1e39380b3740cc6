# The installer's cases of the Wine smoke test; sourced by
# scripts/windows-smoke.sh, whose prefix, package, pass/fail and run_window
# it uses.

installed="$WINEPREFIX/drive_c/Program Files/Kestrelpack"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrelpack"
setup_exe="$package/kestrelpack-$version-setup.exe"

# Runs an installer or uninstaller silently with its arguments; Wine returns
# before the work is done, so the server is waited for.
silently() {
  wine "$@" > "$work/setup.out" 2>&1
  wineserver -w
}
same_programs() { # FOLDER STAGE
  cmp -s "$1/kestrelpack.exe" "$2/kestrelpack.exe" && cmp -s "$1/kestrelpack-cli.exe" "$2/kestrelpack-cli.exe"
}
registered_version() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrelpack' /v DisplayVersion \
    2>/dev/null | tr -d '\r' | awk '$1 == "DisplayVersion" { print $3 }'
}

# Whether FILE carries an Authenticode signature (of whatever certificate).
signed() {
  rm -f "$work/signature.der"
  osslsigncode extract-signature -in "$1" -out "$work/signature.der" > /dev/null 2>&1
}

installer_program_files() {
  begin
  silently "$setup_exe" /S
  if [ ! -f "$installed/kestrelpack.exe" ] || [ ! -f "$installed/kestrelpack-cli.exe" ] \
     || [ ! -f "$installed/uninstall.exe" ]; then
    fail installer "the programs are not in Program Files: $(ls "$installed" 2>&1 | tr '\n' ' ')"
  elif [ ! -f "$start_menu/Kestrelpack.lnk" ]; then
    fail installer "no Start-menu entry"
  elif signed "$stage/kestrelpack.exe" && ! signed "$installed/uninstall.exe"; then
    fail installer "the programs are signed, the uninstaller the installer wrote is not"
  elif ! run_window "$installed/kestrelpack.exe" "$out/installed-window.png"; then
    fail installer "the installed program: $why"
  else
    silently "$installed/uninstall.exe" /S
    if wait_until 30 test ! -e "$installed/kestrelpack.exe" && [ ! -e "$start_menu/Kestrelpack.lnk" ]; then
      pass installer
    else
      fail installer "the uninstaller left the program or its Start-menu entry"
    fi
  fi
}

# An installation in a folder of the IT department's choosing, then an
# update in place over it: the installer of an older version (1.0.0, its
# programs different bytes from today's) goes first, the technician's
# settings and a log are put beside it, and today's installer, given no
# folder, must find the installation, replace the programs and keep both.
installer_folder_and_update() {
  local tools="$WINEPREFIX/drive_c/Tools/Kestrelpack" old_stage="$work/old-stage" old_setup="$work/old-setup.exe"
  begin
  mkdir -p "$old_stage"
  cp "$stage"/*.exe "$stage/LICENSES.txt" "$old_stage/"
  printf 'an older build' >> "$old_stage/kestrelpack.exe"
  printf 'an older build' >> "$old_stage/kestrelpack-cli.exe"
  if ! makensis -V2 -DVERSION=1.0.0 -DKP_STAGE="$old_stage" -DKP_OUTFILE="$old_setup" "$build/installer.nsi" \
       > "$work/makensis-old.txt" 2>&1; then
    fail installer-folder "could not build the older installer: $(tail -n 3 "$work/makensis-old.txt")"
    return
  fi
  silently "$old_setup" /S '/D=C:\Tools\Kestrelpack'
  if ! same_programs "$tools" "$old_stage"; then
    fail installer-folder "the programs are not in C:\\Tools\\Kestrelpack: $(ls "$tools" 2>&1 | tr '\n' ' ')"
    return
  elif [ -e "$installed/kestrelpack.exe" ]; then
    fail installer-folder "installed into Program Files despite /D"
    return
  elif [ "$(registered_version)" != "1.0.0" ]; then
    fail installer-folder "\"Apps and Features\" shows version $(registered_version), not 1.0.0"
    return
  fi
  pass installer-folder

  begin
  mkdir -p "$tools/config" "$tools/logs"
  printf '[software]\nlanguage=3\nexportdir=C:/Berichte\nupgradedir=C:/Firmware/fw.bin\n' > "$tools/config/config.ini"
  printf '[2026-12-01 10:00:00] [info] an earlier run\r\n' > "$tools/logs/K9Z40_20261201.log"
  cp "$tools/config/config.ini" "$work/config-before.ini"
  silently "$setup_exe" /S
  if ! same_programs "$tools" "$stage"; then
    fail installer-update "the programs in C:\\Tools\\Kestrelpack were not replaced by today's"
  elif [ -e "$installed/kestrelpack.exe" ]; then
    fail installer-update "today's installer went to Program Files instead of the existing installation"
  elif [ "$(registered_version)" != "$version" ]; then
    fail installer-update "\"Apps and Features\" shows version $(registered_version), not $version"
  elif ! cmp -s "$tools/config/config.ini" "$work/config-before.ini"; then
    fail installer-update "config\\config.ini changed: $(tr '\n' ' ' < "$tools/config/config.ini")"
  elif [ ! -f "$tools/logs/K9Z40_20261201.log" ]; then
    fail installer-update "the earlier log is gone"
  else
    silently "$tools/uninstall.exe" /S
    if ! wait_until 30 test ! -e "$tools/kestrelpack.exe"; then
      fail installer-update "the uninstaller left the programs in C:\\Tools\\Kestrelpack"
    elif [ ! -f "$tools/config/config.ini" ] || [ ! -f "$tools/logs/K9Z40_20261201.log" ]; then
      fail installer-update "the uninstaller removed config\\ or logs\\"
    else
      pass installer-update "1.0.0 -> $version in place, config\\ and logs\\ kept"
    fi
  fi
}
