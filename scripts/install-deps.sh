#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test a320-display.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libcairo2-dev libfontconfig-dev fonts-b612 libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps xdotool
  clang libclang-rt-dev
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "== installing ${#packages[@]} Debian packages"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${packages[@]}"
