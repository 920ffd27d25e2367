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
  for (int s = 0; s < kSlotCount; ++s) ow.window->instrumentFactory(s, ow.window->getPlacement(1u << s).type);
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

namespace {

// The engine and warning display alone at its default size, with a full
// message list and the flaps running up and down between every detent.
void BM_EngineDisplayBusy(benchmark::State& state) {
  RecordingSink sink;
  OffscreenWindow ow(550, 550);
  ow.window->setPlacement({0, 0, 550, 550, 1, A320_ECAM_ENGINE}, 1);
  if (!ow.window->instrumentFactory(0, A320_ECAM_ENGINE)) {
    state.SkipWithError("engine and warning display not in this build");
    return;
  }
  FlightDataBlock b;
  b.setU32(221, 2u | 4u | 8u | 0x400u | 1u);  // on ground, stall, overspeed, oil, low height
  b.setF32(25, 220.0f);
  b.setF32(105, 1500.0f);
  b.setF32(161, 1.0f);
  b.setU32(17, 2u);
  b.setF32(23, 40.0f);
  b.setF32(30, 500.0f);
  b.setF32(129, 15000.0f);
  b.setF32(179, 14800.0f);
  b.setF32(130, 1000.0f);
  b.setF32(180, 1000.0f);
  b.setF32(141, 15600.0f);
  b.setF32(191, 15600.0f);
  b.setF32(158, 1900.0f);
  b.setF32(208, 1850.0f);
  b.setF32(120, 5200.0f);
  b.setF32(170, 5100.0f);
  b.setF32(104, 2.0f);
  b.setF32(211, 1.0f);
  float flap = 0.0f, step = 0.37f;
  for (auto _ : state) {
    flap += step;
    if (flap > 42.0f || flap < 0.0f) step = -step;
    b.setF32(37, flap);
    ow.window->setData(b.bytes.data());
    ow.window->renderPass();
  }
}
BENCHMARK(BM_EngineDisplayBusy)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The system display alone at 550 x 550 on one page (0: CRUISE, reached
// through the automatic choice), in a climb with both engines running.
void BM_SystemDisplayPage(benchmark::State& state) {
  RecordingSink sink;
  OffscreenWindow ow(550, 550);
  ow.window->setPlacement({0, 0, 550, 550, 1, A320_ECAM_SYSTEM}, 1);
  if (!ow.window->instrumentFactory(0, A320_ECAM_SYSTEM)) {
    state.SkipWithError("system display not in this build");
    return;
  }
  const std::uint32_t page = std::uint32_t(state.range(0));
  FlightDataBlock b = flyingBlock();
  b.setU32(40, page << 24);
  b.setF32(25, 280.0f);
  b.setF32(29, 24000.0f);
  b.setF32(30, 1500.0f);
  b.setF32(7, -20.0f);
  b.setF32(8, 0.05f);
  b.setF32(105, 30000.0f);
  for (int w : {129, 179}) b.setF32(w, 14000.0f);
  for (int w : {130, 180}) b.setF32(w, 15000.0f);
  for (int w : {112, 113}) b.setF32(w, 5000.0f);
  for (int w : {123, 173}) b.setF32(w, 20000.0f);
  for (int w : {148, 198}) b.setF32(w, 40.0f);
  ow.window->setData(b.bytes.data());
  ow.window->renderPass();
  for (auto _ : state) ow.window->renderPass();
  state.SetLabel(page == 0 ? "CRUISE" : std::to_string(page));
}
BENCHMARK(BM_SystemDisplayPage)->DenseRange(0, 12)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
