#!/usr/bin/env bash
# Installs every Debian package that building, testing and the demo need.
# Safe to run again: packages already present are not touched, and the
# package lists are refreshed at most once per run.
set -euo pipefail

PACKAGES=(
  build-essential cmake ccache pkg-config
  qtbase5-dev qtbase5-private-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
  libspdlog-dev libfmt-dev
  lrzsz            # rb/sz: the reference YMODEM peer for interop tests and the benchmark
  python3
  # The demo drives the real window without a display: a virtual X server,
  # synthetic clicks and keys, screenshots, and xwininfo to find the window.
  xvfb xdotool imagemagick x11-utils
)

# scripts/fuzz.sh asks for more (--fuzz): clang with its libFuzzer and
# sanitizer runtimes, and llvm-symbolizer for readable crash reports.
# scripts/windows.sh asks for the Windows cross-build (--windows): the
# mingw-w64 compiler (posix threads), what unpacks and configures Qt's
# source, the installer compiler, zip, and Wine for the smoke test.
windows=0
for arg in "$@"; do
  case "$arg" in
    --fuzz) PACKAGES+=(clang libclang-rt-14-dev llvm) ;;
    # scripts/screen-reader.sh reads the window over the accessibility bus.
    --accessibility) PACKAGES+=(at-spi2-core python3-pyatspi dbus-x11) ;;
    --windows)
      windows=1
      PACKAGES+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
                 dpkg-dev perl xz-utils nsis zip unzip wine wine64 osslsigncode openssl) ;;
    *) echo "setup.sh: unknown argument '$arg' (--fuzz, --windows, --accessibility)" >&2; exit 2 ;;
  esac
done

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo -E bash "$0" "$@"
  fi
  echo "setup.sh: needs root (or sudo) to install packages" >&2
  exit 1
fi

# The Windows toolchain is built from Debian's qtbase source package, which
# apt-get source finds only with a deb-src entry.
refreshed=0
if [ "$windows" = 1 ] && ! apt-cache showsrc qtbase-opensource-src 2>/dev/null | grep -q '^Package:'; then
  cat > /etc/apt/sources.list.d/kestrelpack-deb-src.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  echo "setup.sh: added Debian's source packages to apt's sources"
  apt-get update -qq
  refreshed=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup.sh: all packages present"
  exit 0
fi

echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
[ "$refreshed" = 1 ] || apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
