#!/usr/bin/env bash
# Soak test (not part of CI): a320-display under Xvfb for MINUTES minutes
# (default 60) while random, hostile and malformed datagrams, stretches of
# the demo flight and pauses reach it over loopback. Prints whether it
# survived, its memory trend in MB per minute, its CPU use and a final
# picture check (a plain block must still show on the clock, and every
# instrument still draws). The last picture lands in $SOAK_OUT/final.png.
#   scripts/soak.sh [MINUTES] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}
seed=${2:-1}
build=${BUILD_DIR:-build}
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
BUILD_DIR=$build scripts/build.sh
exec "$build/tests/a320-soak" --minutes "$minutes" --seed "$seed" --out "${SOAK_OUT:-/tmp/a320-soak}"
