#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang, libFuzzer and the
# address and undefined-behaviour sanitizers into build-fuzz/, then runs
# each for FUZZ_SECONDS seconds (default 60), two at a time, starting from
# the seeds our own tools write. A crash, leak, timeout or failed check
# fails the script; it prints the target's report, the input that did it
# (kept under build-fuzz/tests/fuzz/runs/) and the command that replays it.
#   scripts/fuzz.sh [texture|profile|scenario|flightgear|xplane|block ...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found; install the Debian packages clang and libclang-rt-dev (scripts/install-deps.sh)" >&2
  exit 1
fi
echo "== configuring $build (clang, libFuzzer, address and undefined-behaviour sanitizers)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DA320_FUZZ=ON -DA320_WITH_QT=OFF -DA320_WITH_BENCHMARKS=OFF >/dev/null
echo "== building the fuzz targets"
ninja -C "$build" fuzzers

fuzz="$root/$build/tests/fuzz"
runs="$fuzz/runs"
rm -rf "$runs"
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(texture profile scenario flightgear xplane block)

run_target() {
  local t=$1
  local leaks=1 extra=()
  case $t in
    # Mesa keeps allocations to the end of the process; not ours to chase.
    texture) leaks=0; extra=(-max_len=8192) ;;
    block) leaks=0; extra=(-max_len=4096) ;;
    profile) extra=(-max_len=4096) ;;
  esac
  mkdir -p "$runs/$t/corpus"
  ASAN_OPTIONS="detect_leaks=$leaks" UBSAN_OPTIONS=print_stacktrace=1 \
    "$fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$runs/$t/" "${extra[@]}" "$runs/$t/corpus" "$fuzz/seeds/$t" >"$runs/$t/log" 2>&1
}

report() {
  local t=$1 status=$2
  local log="$runs/$t/log" count
  count=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$t: ${count:-?} inputs in $seconds s, no finding"
    return 0
  fi
  echo "fuzz_$t: FAILED (exit $status); its report:"
  grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$log" | tail -60
  local found=0
  for input in "$runs/$t"/crash-* "$runs/$t"/leak-* "$runs/$t"/timeout-* "$runs/$t"/oom-* "$runs/$t"/slow-unit-*; do
    [ -f "$input" ] || continue
    found=1
    echo "-- reproducer: $input ($(stat -c %s "$input") bytes), first 512 as hex:"
    head -c 512 "$input" | od -An -tx1 -v
    echo "-- replay: $fuzz/fuzz_$t $input"
  done
  [ "$found" = 1 ] || echo "-- no input was kept; the log above says why"
  return 1
}

echo "== fuzzing ${targets[*]}, $seconds s each, two at a time"
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  pids=()
  for t in "${pair[@]}"; do
    if [ ! -x "$fuzz/fuzz_$t" ]; then
      echo "fuzz: no target '$t'; the targets are texture profile scenario flightgear xplane block" >&2
      exit 2
    fi
    run_target "$t" &
    pids+=($!)
  done
  for j in "${!pair[@]}"; do
    status=0
    wait "${pids[$j]}" || status=$?
    report "${pair[$j]}" "$status" || failed=1
  done
done
if [ "$failed" = 1 ]; then
  echo "== fuzzing found something (see above)"
  exit 1
fi
echo "== fuzzing found nothing"
