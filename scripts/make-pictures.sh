#!/usr/bin/env bash
# Draws the pictures in docs/ from moments of the demo flight, offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
feed=$BUILD_DIR/tools/a320-feed
snap=$BUILD_DIR/tools/a320-snapshot
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# shot NAME INSTRUMENT SIZE TIME FRAMES [--set N=VALUE]...
# Frames matter where a page runs a model of its own (APU, brakes). With
# FROM=TIME the instrument first sees that moment, as the display saw the
# flight before (fuel used counts from the tanks it saw full).
shot() {
  local name=$1 instrument=$2 size=$3 at=$4 frames=$5 blocks=()
  shift 5
  if [ -n "${FROM:-}" ]; then
    "$feed" --scenario demo --at "$FROM" --write-block "$tmp/start" "$@" > /dev/null
    blocks=(--block "$tmp/start")
  fi
  "$feed" --scenario demo --at "$at" --write-block "$tmp/block" "$@" > /dev/null
  "$snap" --data "$BUILD_DIR/Data" "${blocks[@]}" --block "$tmp/block" --instrument "$instrument" --size "$size" \
    --frames "$frames" --out "docs/$name.png" > /dev/null
  echo "docs/$name.png: $instrument at $at of the demo $*"
}
page() { echo "--set 40=#0x0$1000000"; }

shot layout all 1280x1024 9:10 1
shot ewd A320_ECAM_ENGINE 400x400 3:20 1
shot sd-eng A320_ECAM_SYSTEM 400x400 3:20 1 $(page 1)
shot sd-bleed A320_ECAM_SYSTEM 400x400 5:12 1
shot sd-press A320_ECAM_SYSTEM 400x400 5:20 1
shot sd-elec A320_ECAM_SYSTEM 400x400 5:28 1
shot sd-hyd A320_ECAM_SYSTEM 400x400 5:36 1
FROM=0:36 shot sd-fuel A320_ECAM_SYSTEM 400x400 5:44 1
shot sd-apu A320_ECAM_SYSTEM 400x400 0:50 700
shot sd-cond A320_ECAM_SYSTEM 400x400 5:52 200
shot sd-door A320_ECAM_SYSTEM 400x400 0:20 1
shot sd-wheel A320_ECAM_SYSTEM 400x400 9:35 150 $(page A)
shot sd-fctl A320_ECAM_SYSTEM 400x400 4:14 1 $(page B)
shot sd-status A320_ECAM_SYSTEM 400x400 6:00 1
FROM=0:36 shot sd-cruise A320_ECAM_SYSTEM 400x400 4:50 200
shot standby-clock A320_CLOCK 320x320 4:24 1
shot standby-rmi A320_RMI 320x320 4:24 1
shot standby-attitude A320_ATTITUDE 320x320 4:24 1
shot standby-altitude A320_ALTITUDE 320x320 4:24 1
shot standby-airspeed A320_AIRSPEED 320x320 4:24 1
