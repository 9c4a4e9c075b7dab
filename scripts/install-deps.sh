#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Does nothing when every package is already present.
set -euo pipefail
packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-multimedia-dev
  qt6-httpserver-dev qt6-websockets-dev libgl-dev
  linux-libc-dev
  fonts-liberation fonts-dejavu
  xvfb xauth imagemagick curl
  clang-14 libclang-rt-14-dev clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
