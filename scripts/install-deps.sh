#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test a320-display.
set -euo pipefail
packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev libxcb1-dev libgl-dev libegl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0
  libcairo2-dev libfontconfig-dev fonts-b612 libpng-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps x11-utils xdotool openbox
  locales
  clang libclang-rt-dev
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "== installing ${#packages[@]} Debian packages"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${packages[@]}"

# The tests read and write numbers under a German locale as well, where
# decimals are written with a comma.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "== generating the locale de_DE.UTF-8"
  $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
