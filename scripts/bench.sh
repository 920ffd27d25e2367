#!/usr/bin/env bash
# Builds a Release copy of the project and measures what the display costs
# a PC: the render pass (single-threaded software OpenGL, so that figures
# compare across machines), the receive path, and the whole program under
# a virtual X server with and without the demo flight. Prints one table:
# figure, goal, measured, and measured / goal (1 or less meets the goal).
#
#   scripts/bench.sh                 # Release build in build-release/
#   BUILD_DIR=build-bench SECONDS_PER_RUN=60 scripts/bench.sh
#
# Close other work first: every figure is processor time, the least of
# several runs, but a loaded machine still slows memory and caches.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-release}
seconds=${SECONDS_PER_RUN:-30}
reps=${REPETITIONS:-5}
[ "${SKIP_INSTALL:-0}" = 1 ] || scripts/install-deps.sh

echo "== building $build (Release)"
# -O2, as Debian builds its packages (and at -O3 GCC 12 warns falsely inside
# std::string, which stops a build made with -DA320_WERROR=ON).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DA320_WITH_BENCHMARKS=ON -DA320_WITH_QT=ON >/dev/null
ninja -C "$build" bench_render bench_receiver bench_program a320-display a320-feed >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "== render pass ($reps repetitions, single-threaded)"
(cd "$build" && LP_NUM_THREADS=0 benchmarks/bench_render --benchmark_repetitions="$reps" --benchmark_format=csv \
  --benchmark_filter='DefaultLayout|Floor|OneInstrument|EmptyPass|EngineDisplayBusy') >"$out/render.csv" 2>/dev/null
echo "== receive path"
# Latency and the idle cost, one run each: the CSV output refuses runs whose
# counters differ. A failing receiver benchmark leaves its row n/a.
for b in Latency Idle; do
  (cd "$build" && benchmarks/bench_receiver --benchmark_format=csv --benchmark_filter="$b") \
    >"$out/receiver-$b.csv" 2>/dev/null || echo "bench_receiver $b failed; its row shows n/a"
done
echo "== whole program, $seconds s with the demo flight and $seconds s without datagrams"
(cd "$build" && benchmarks/bench_program "$seconds") >"$out/program.txt"

# CSV rows: "name",iterations,real_time,cpu_time,unit,...; counters follow
# in columns named by the header.
render() { awk -F, -v n="\"$1_min\"" '$1 == n {print $4}' "$out/render.csv"; }
program() { awk -v k="$1" '$1 == k {print $2}' "$out/program.txt"; }
receiver() {  # file-part benchmark counter
  awk -F, -v n="\"$2\"" -v c="\"$3\"" 'NR == 1 {for (i = 1; i <= NF; ++i) col[$i] = i} $1 == n {print $col[c]}' \
    "$out/receiver-$1.csv" 2>/dev/null
}

row() {  # figure goal measured [unit]
  awk -v f="$1" -v g="$2" -v m="$3" -v u="${4:-}" 'BEGIN {
    r = (g + 0 > 0 && m != "") ? sprintf("%.2f", m / g) : "-"
    printf "%-48s %10s %12s %7s\n", f, (g == "-" ? "-" : g " " u), (m == "" ? "n/a" : sprintf("%.2f %s", m, u)), r
  }'
}

layout=$(render BM_DefaultLayout/1280/1024)
floor=$(render BM_Floor/1280/1024)
wide=$(render BM_DefaultLayout/1920/1080)
wideFloor=$(render BM_Floor/1920/1080)
fed=$(program cpu_percent_feed)
idle=$(program cpu_percent_idle)
printf "\n%-48s %10s %12s %7s\n" "figure" "goal" "measured" "ratio"
row "render, default layout 1280x1024, per frame" 8 "$layout" ms
row "  floor: one opaque quad per slot, per frame" - "$floor" ms
row "  layout / floor" 2 "$(awk -v a="$layout" -v b="$floor" 'BEGIN {print a / b}')"
row "render, default layout 1920x1080, per frame" 8 "$wide" ms
row "  layout / floor at 1920x1080" 2 "$(awk -v a="$wide" -v b="$wideFloor" 'BEGIN {print a / b}')"
row "render, empty pass (clear, finish)" - "$(render BM_EmptyPass)" ms
names=(A320_ECAM_ENGINE A320_ECAM_SYSTEM A320_CLOCK A320_RMI A320_ATTITUDE A320_ALTITUDE A320_AIRSPEED)
for t in 0 1 2 3 4 5 6; do
  row "render, ${names[$t]} alone in its slot" - "$(render "BM_OneInstrument/$t")" ms
done
row "render, engine display with every line busy" - "$(render BM_EngineDisplayBusy)" ms
row "receiver, idle, % of a core" - "$(receiver Idle BM_IdleReceiverCpu/iterations:1/real_time core_percent)" %
row "receiver, send to block, median" - "$(receiver Latency BM_SendToBlockLatency/iterations:2000/real_time median_us)" us
row "program, demo flight, % of a core" 30 "$fed" %
row "program, no datagrams / demo flight" 1 "$(awk -v a="$idle" -v b="$fed" 'BEGIN {print a / b}')"
row "program, resident memory" 200 "$(program rss_mb_feed)" MB
row "program, start to first lit frame" 1000 "$(program start_to_lit_ms)" ms
echo
echo "Machine: $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2-)"
