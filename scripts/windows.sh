#!/usr/bin/env bash
# The Windows build: cross-builds kestrelpack.exe and kestrelpack-cli.exe
# (64-bit, Release, static, with icon, manifest and version block), packages
# them as a portable zip and an installer, and runs the Wine smoke test.
#
#   bash scripts/windows.sh              # all of it
#   bash scripts/windows.sh --no-smoke   # build and package only
#   bash scripts/windows.sh --self-signed   # sign with a throw-away certificate (CI)
#
# Signing: with KESTRELPACK_SIGN_PFX (a PKCS#12 file) and
# KESTRELPACK_SIGN_PASSWORD set, both programs and the installer are signed
# and their signatures verified (scripts/windows-sign.sh), as is the
# uninstaller the installer writes; a real certificate also needs
# KESTRELPACK_SIGN_TIMESTAMP_URL (see windows-sign.sh). Without them the
# packages are unsigned.
#
# The static Qt it builds against is made once by windows-toolchain.sh into
# /opt/kestrelpack-winqt-<digest of the recipe> (KESTRELPACK_WINDOWS_QT_ROOT
# picks another parent folder) and reused while the recipe is unchanged.
# Output in build-windows/ (KESTRELPACK_WINDOWS_BUILD_DIR):
#   package/kestrelpack-<version>-win64.zip
#   package/kestrelpack-<version>-setup.exe
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
smoke=1
sign=()
[ -n "${KESTRELPACK_SIGN_PFX:-}" ] && sign=(bash "$root/scripts/windows-sign.sh")
for arg in "$@"; do
  case "$arg" in
    --no-smoke) smoke=0 ;;
    --self-signed) sign=(bash "$root/scripts/windows-sign.sh" --self-signed) ;;
    *) echo "windows.sh: unknown argument '$arg' (--no-smoke, --self-signed)" >&2; exit 2 ;;
  esac
done
step() { echo "== windows: $1 ($(date -u +%H:%M:%S))"; }

bash "$root/scripts/setup.sh" --windows

# The toolchain's folder is named after its recipe: a changed recipe or
# serial-port source builds a new one, and older ones are removed.
digest="$(cat "$root/scripts/windows-toolchain.sh" "$root/third_party/qtserialport-everywhere-src-5.15.8.tar.xz" \
  | sha256sum | cut -c1-12)"
qt_parent="${KESTRELPACK_WINDOWS_QT_ROOT:-/opt}"
qt="$qt_parent/kestrelpack-winqt-$digest"
if [ -f "$qt/.complete" ]; then
  step "static Qt for Windows present in $qt"
else
  step "building the static Qt for Windows into $qt (about 25 minutes)"
  for old in "$qt_parent"/kestrelpack-winqt-*; do
    [ -d "$old" ] && [ "$old" != "$qt" ] && rm -rf "$old"
  done
  bash "$root/scripts/windows-toolchain.sh" "$qt"
fi

build="${KESTRELPACK_WINDOWS_BUILD_DIR:-$root/build-windows}"
step "cross-building the programs in $build"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
cmake -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DKESTRELPACK_WINDOWS_QT="$qt" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target kestrelpack kestrelpack-cli

version="$(cat "$build/kestrelpack-version.txt")"
name="kestrelpack-$version-win64"
package="$build/package"
stage="$package/$name"
step "packaging $name"
rm -rf "$package"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/kestrelpack.exe" "$build/app/kestrelpack.exe"
x86_64-w64-mingw32-strip -o "$stage/kestrelpack-cli.exe" "$build/cli/kestrelpack-cli.exe"

# Only system DLLs may be imported: the runtimes and Qt are linked in.
for exe in "$stage"/*.exe; do
  foreign="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' \
    | grep -v -i -x -E '(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|mpr|userenv|version|netapi32|uxtheme|dwmapi|wtsapi32|setupapi|shlwapi|uuid|winspool\.drv|msvcrt|api-ms-win-[a-z0-9-]+)(\.dll)?' || true)"
  if [ -n "$foreign" ]; then
    echo "windows.sh: $(basename "$exe") imports DLLs that are not part of Windows: $foreign" >&2
    exit 1
  fi
done

# The licences of what the programs carry: Qt (LGPL 3), spdlog and fmt (MIT),
# the interface font (OFL).
{
  echo "Kestrelpack $version carries the following software and assets."
  echo
  echo "== Qt 5.15.8 (qtbase, qtserialport): GNU Lesser General Public License v3"
  echo "   Source: Debian's qtbase-opensource-src 5.15.8 and Qt Serial Port 5.15.8 (third_party/)."
  echo
  tar xJOf "$root/third_party/qtserialport-everywhere-src-5.15.8.tar.xz" qtserialport-everywhere-src-5.15.8/LICENSE.LGPL3
  echo
  echo "== spdlog"
  cat /usr/share/doc/libspdlog-dev/copyright
  echo
  echo "== fmt"
  cat /usr/share/doc/libfmt-dev/copyright
  echo
  echo "== Interface font (PingFang SC faces made for Kestrelpack)"
  cat "$root/resources/font/PingFang/OFL.txt"
} | sed 's/$/\r/' > "$stage/LICENSES.txt"

if [ "${#sign[@]}" -gt 0 ]; then
  step "signing the programs"
  "${sign[@]}" "$stage/kestrelpack.exe" "$stage/kestrelpack-cli.exe"
fi
(cd "$package" && zip -q -r -X "$name.zip" "$name")
signer=()
[ "${#sign[@]}" -gt 0 ] && signer=("-DKP_SIGN=$(printf '%q ' "${sign[@]}")")
makensis -V2 "${signer[@]}" -DKP_STAGE="$stage" -DKP_OUTFILE="$package/kestrelpack-$version-setup.exe" \
  "$build/installer.nsi"
if [ "${#sign[@]}" -gt 0 ]; then
  step "signing the installer"
  "${sign[@]}" "$package/kestrelpack-$version-setup.exe"
fi
ls -l "$package"/*.zip "$package"/*.exe "$stage"/*.exe

if [ "$smoke" = 1 ]; then
  step "Wine smoke test"
  bash "$root/scripts/windows-smoke.sh" "$build" "$version"
fi
step "done"
