#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $BUILD_DIR):
# everything, or only the targets named in $BUILD_TARGETS.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
echo "== configuring $build $*"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DA320_WERROR=ON "$@" >/dev/null
echo "== building $build ${BUILD_TARGETS:-}"
# shellcheck disable=SC2086  # a list of target names
ninja -C "$build" ${BUILD_TARGETS:-}
