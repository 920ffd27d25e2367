// Render pass of the default 1280 x 1024 layout offscreen, whole and per
// instrument type.
#include <benchmark/benchmark.h>

#include "support/offscreen.h"

using namespace testing_support;

namespace {

FlightDataBlock flyingBlock() {
  FlightDataBlock b;
  b.setF32(2, 12);
  b.setF32(3, 34);
  b.setF32(4, 56);
  return b;
}

void BM_RenderPassDefaultLayout(benchmark::State& state) {
  RecordingSink sink;
  OffscreenWindow ow(1280, 1024);
  ow.window->resetToDefaults(0x7f);
  const FlightDataBlock b = flyingBlock();
  ow.window->setData(b.bytes.data());
  for (auto _ : state) ow.window->renderPass();
  int present = 0;
  for (int s = 0; s < kSlotCount; ++s) present += ow.window->instrument(s) != nullptr;
  state.counters["instruments"] = present;
}
BENCHMARK(BM_RenderPassDefaultLayout)->UseRealTime()->Unit(benchmark::kMillisecond);

// One instrument of the given type in its default slot, the rest empty.
void BM_RenderPassOneInstrument(benchmark::State& state) {
  RecordingSink sink;
  const int type = int(state.range(0));
  OffscreenWindow ow(1280, 1024);
  Placement p = InstrumentWindow::defaultPlacement(type);
  ow.window->setPlacement(p, 1u << type);
  if (!ow.window->instrumentFactory(type, type)) {
    state.SkipWithError("instrument type not in this build");
    return;
  }
  const FlightDataBlock b = flyingBlock();
  ow.window->setData(b.bytes.data());
  for (auto _ : state) ow.window->renderPass();
  state.SetLabel(instrumentIdentifier(type));
}
BENCHMARK(BM_RenderPassOneInstrument)->DenseRange(0, 6)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_RenderPassEmpty(benchmark::State& state) {
  OffscreenWindow ow(1280, 1024);
  for (auto _ : state) ow.window->renderPass();
}
BENCHMARK(BM_RenderPassEmpty)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
