#!/usr/bin/env bash
# Installs the dependencies, builds, and runs every test: the normal build,
# an AddressSanitizer + UndefinedBehaviorSanitizer build, the receive path
# under ThreadSanitizer, and a minute of fuzzing for every parser
# (FUZZ_SECONDS; 0 leaves the fuzzing out).
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh
jobs=$(nproc)

BUILD_DIR=build scripts/build.sh
echo "== tests (normal build)"
(cd build && ctest -j"$jobs" --output-on-failure --timeout 300)

echo "== tests (address and undefined-behaviour sanitizers)"
BUILD_DIR=build-asan scripts/build.sh -DA320_SANITIZE=address,undefined -DA320_WITH_BENCHMARKS=OFF -DA320_WITH_QT=OFF
# Mesa's own allocations are not ours to chase; leaks in our code show up in
# the tests that do not create a GL context.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest -j"$jobs" --output-on-failure --timeout 600)

echo "== tests (thread sanitizer, receive path)"
BUILD_DIR=build-tsan scripts/build.sh -DA320_SANITIZE=thread -DA320_WITH_BENCHMARKS=OFF -DA320_WITH_QT=OFF
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest -j"$jobs" --output-on-failure --timeout 600 \
  -R 'UdpReceiver|ReceiveLink|FlightDataExchange|FeedTool')
if [ "${FUZZ_SECONDS:-60}" != 0 ]; then
  echo "== fuzzing (clang, libFuzzer)"
  SKIP_INSTALL=1 scripts/fuzz.sh
fi
echo "== all tests passed"
