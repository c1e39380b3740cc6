#!/usr/bin/env bash
# Builds the static 64-bit Windows Qt that the program is cross-built
# against: Debian's qtbase 5.15.8 source and the Qt Serial Port 5.15.8 source
# kept in third_party/, compiled with Debian's mingw-w64 (posix threads).
#
#   bash scripts/windows-toolchain.sh PREFIX
#
# Called by scripts/windows.sh, which names PREFIX after a digest of this
# file and of the serial-port source: a changed recipe builds a new toolchain.
# PREFIX/.complete is written last, so an interrupted build is thrown away
# and made again by the next run. About 25 minutes on two cores.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${1:?usage: windows-toolchain.sh PREFIX}"
jobs="${KESTRELPACK_JOBS:-2}"

rm -rf "$prefix"
mkdir -p "$prefix"
work="$(mktemp -d /var/tmp/kestrelpack-qt.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work"

echo "windows-toolchain: qtbase source (Debian's, with Debian's patches)"
# Needs a deb-src entry; scripts/setup.sh --windows writes one.
apt-get source -qq qtbase-opensource-src >/dev/null 2>&1 || apt-get source qtbase-opensource-src
qtbase="$(find "$work" -maxdepth 1 -type d -name 'qtbase-opensource-src-5.15.8*' | head -n 1)"
[ -n "$qtbase" ] || { echo "windows-toolchain: qtbase source not unpacked" >&2; exit 1; }

echo "windows-toolchain: configure qtbase ($(date -u +%H:%M:%S))"
mkdir build-qtbase
cd build-qtbase
# Only Core, Gui, Widgets, the windows platform plugin and the windowsvista
# style are used. Debian's "dfsg" tree lacks src/3rdparty/wintab, hence no
# tablet events.
"$qtbase/configure" -prefix "$prefix" -opensource -confirm-license \
  -release -static -static-runtime \
  -platform linux-g++ -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
  -nomake examples -nomake tests -no-pkg-config -no-opengl -no-direct2d -no-dbus \
  -no-icu -no-openssl -no-feature-sql -no-feature-xml -no-feature-concurrent \
  -no-feature-printer -no-feature-testlib -no-vulkan -no-freetype -no-libjpeg \
  -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz -no-feature-tabletevent \
  > "$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log" >&2; exit 1; }

echo "windows-toolchain: build qtbase ($(date -u +%H:%M:%S))"
make -j "$jobs" > "$work/make.log" 2>&1 || { grep -n -m 20 -E 'error|Error' "$work/make.log" >&2; tail -n 40 "$work/make.log" >&2; exit 1; }
make install > "$work/install.log" 2>&1 || { tail -n 40 "$work/install.log" >&2; exit 1; }

echo "windows-toolchain: build qtserialport ($(date -u +%H:%M:%S))"
cd "$work"
tar xJf "$root/third_party/qtserialport-everywhere-src-5.15.8.tar.xz"
# syncqt, which writes the module's forwarding headers, runs only in a tree
# that looks like a checkout.
mkdir -p qtserialport-everywhere-src-5.15.8/.git
mkdir build-qtserialport
cd build-qtserialport
"$prefix/bin/qmake" ../qtserialport-everywhere-src-5.15.8 > "$work/serialport.log" 2>&1
make -j "$jobs" >> "$work/serialport.log" 2>&1 || { tail -n 40 "$work/serialport.log" >&2; exit 1; }
make install >> "$work/serialport.log" 2>&1

touch "$prefix/.complete"
echo "windows-toolchain: done ($(date -u +%H:%M:%S)) in $prefix"
