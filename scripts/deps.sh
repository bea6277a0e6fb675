#!/bin/sh
# Installs whatever the build and the tests need that is missing on a Debian 12 machine.
# Used by ./run and ./test; prints the one apt-get line to run when it cannot install itself.
set -e
PKGS="cmake g++ make ninja-build qt6-base-dev qt6-base-private-dev qt6-base-dev-tools qt6-serialport-dev \
libgl-dev libxkbcommon-dev xvfb xauth socat poppler-utils cloc clang libclang-rt-14-dev \
qt6-qpa-plugins libqt6svg6 at-spi2-core python3 dpkg-dev file qcoro-qt6-dev lintian desktop-file-utils \
appstream"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO="sudo -n"
else
  echo "Missing packages:$missing" >&2
  echo "Run: sudo apt-get install -y$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends $missing
