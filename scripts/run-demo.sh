#!/usr/bin/env bash
# Installs, builds, and runs a320-display fed with the demo flight by
# a320-feed, with the gauges shown at start.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
# Only the two programs the demo runs (and their artwork and scenario), not
# the tests.
BUILD_TARGETS="a320-display a320-feed" BUILD_DIR=build scripts/build.sh
cd build
if [ -z "${DISPLAY:-}" ]; then
  echo "run-demo: no X display (DISPLAY is unset); run this from a desktop session." >&2
  echo "Without a display, draw the instruments into a picture instead, for example:" >&2
  echo "  build/tools/a320-snapshot --out clock.png --instrument A320_CLOCK --set 2=12 --set 3=34 --set 4=56" >&2
  exit 1
fi
# The program reads its settings from the folder it runs in; a first run
# gets one that shows the gauges by itself.
[ -f a320-display.cfg ] || printf '[SYSTEM]\nAUTOSHOW=1\n' > a320-display.cfg
# The demo flight, over and over; DEMO_SPEED=4 plays it four times faster.
./tools/a320-feed --scenario demo --loop --speed "${DEMO_SPEED:-1}" &
feed=$!
trap 'kill $feed 2>/dev/null || true' EXIT
echo "== a320-display is running from $(pwd); close its status window to end"
./src/a320-display
