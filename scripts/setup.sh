#!/bin/sh
# Installs what Velmora needs to build, run and test on Debian 12. Runs apt-get as root (through
# sudo when started by another user).
set -eu
packages="build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  libxlsxwriter-dev desktop-file-utils libxml2-utils unzip poppler-utils
  nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev locales xauth xvfb
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 dpkg-dev python3 zip"
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $packages >/dev/null
# The core tests run once more under a decimal-comma locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi
echo "setup: done"
