#!/usr/bin/env bash
# Installs, builds, and shows the instrument window fed by a320-feed.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
BUILD_DIR=build scripts/build.sh
if [ -z "${DISPLAY:-}" ]; then
  echo "run-demo: no X display (DISPLAY is unset); run this from a desktop session" >&2
  exit 1
fi
cd build
./tools/a320-feed --clock --rate 30 &
feed=$!
trap 'kill $feed 2>/dev/null || true' EXIT
echo "== a320-display is running; close it with Alt+F4 or Ctrl+C here"
./src/a320-display
