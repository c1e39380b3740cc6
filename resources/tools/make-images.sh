#!/usr/bin/env bash
# Redraws the window images (resources/MainForm/image/) and the Windows icon
# (resources/windows/kestrelpack.ico) with the kestrelpack-imagegen tool, which
# this script configures and builds in its own folder. Needs the Qt 5
# development packages of scripts/setup.sh; the logo and icon lettering use
# the embedded bold face, so run scripts/make-fonts.sh first if that changes.
set -euo pipefail
res="$(cd "$(dirname "$0")/.." && pwd)"
root="$(cd "$res/.." && pwd)"
build="${KESTRELPACK_IMAGEGEN_BUILD_DIR:-$root/build-imagegen}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kestrelpack-imagegen -j 2
QT_QPA_PLATFORM=offscreen "$build/resources/kestrelpack-imagegen" \
  "$res/MainForm/image" "$res/windows/kestrelpack.ico" "$res/font/PingFang/PingFang Bold.ttf"
ls -l "$res/MainForm/image" "$res/windows/kestrelpack.ico"
