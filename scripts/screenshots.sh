#!/usr/bin/env bash
# Renders the main window, the language pop-up and every state of the three
# task pages in all eight languages into <build>/screenshots/<language>/
# (<build> is ./build or $KESTRELPACK_BUILD_DIR), one PNG per state, and
# lists every text that is wider than its widget.
#
# Qt's offscreen platform draws the pictures; it renders them pixel for pixel
# as a virtual X server does. KESTRELPACK_SCREENSHOT_PLATFORM=xcb draws on
# Xvfb instead (package xvfb). No serial port is listed or opened: the pages
# get their states from their own slots.
#
# Exit status: 0, or 2 when some text does not fit (the pictures are still
# written), or 1 when nothing could be drawn.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${KESTRELPACK_BUILD_DIR:-$root/build}"
platform="${KESTRELPACK_SCREENSHOT_PLATFORM:-offscreen}"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target kp_screenshots

out="$build/screenshots"
rm -rf "$out"
mkdir -p "$out"

# Never the machine's serial ports; one scale, whatever the desktop says; and
# none of the pages' debug lines.
export KESTRELPACK_SERIAL_PORTS=
export QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0
export QT_LOGGING_RULES="default.debug=false"
unset QT_SCREEN_SCALE_FACTORS QT_FONT_DPI

helper="$build/tests/tools/kp_screenshots"
status=0
case "$platform" in
  xcb)
    if ! command -v xvfb-run >/dev/null 2>&1; then
      echo "screenshots.sh: xvfb-run is missing (apt-get install xvfb)" >&2
      exit 1
    fi
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96 -nolisten tcp" \
      "$helper" "$out" || status=$?
    ;;
  offscreen)
    QT_QPA_PLATFORM=offscreen "$helper" "$out" || status=$?
    ;;
  *)
    echo "screenshots.sh: unknown platform '$platform' (xcb or offscreen)" >&2
    exit 1
    ;;
esac
exit "$status"
