// CPU cost of the render pass offscreen: the default layout at two monitor
// sizes, one instrument per type in its default slot, the busiest pictures,
// and two floors to hold them against (an empty pass, and one opaque
// textured quad per slot rectangle). Run single-threaded for figures that
// compare across machines: LP_NUM_THREADS=0 bench_render.
//
// Every measured frame goes through measuredFrame(), so that
//   valgrind --tool=callgrind --toggle-collect='*measuredFrame*' bench_render --benchmark_filter=...
// counts the instructions of drawn frames only (repeatable where wall time
// is not), after the warm-up frames have built Mesa's shader variants.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "support/offscreen.h"
#include "support/situations.h"

using namespace testing_support;

namespace {

constexpr int kWarmUpFrames = 3;

// On a shared machine other work only ever adds time: with repetitions,
// the least is the figure to compare.
double least(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }

[[gnu::noinline]] void measuredFrame(InstrumentWindow& w) { w.renderPass(); }

void warmUp(InstrumentWindow& w) {
  for (int i = 0; i < kWarmUpFrames; ++i) w.renderPass();
}

// The program's default layout scaled to the monitor, as it starts.
void defaultLayout(InstrumentWindow& w) {
  w.resetToDefaults(0x7f);
  for (int s = 0; s < kSlotCount; ++s) w.instrumentFactory(s, w.getPlacement(1u << s).type);
}

void BM_DefaultLayout(benchmark::State& state) {
  RecordingSink sink;
  const int width = int(state.range(0)), height = int(state.range(1));
  OffscreenWindow ow(width, height, float(height) / 1024.0f);
  defaultLayout(*ow.window);
  const FlightDataBlock b = climbBlock();
  ow.window->setData(b.bytes.data());
  warmUp(*ow.window);
  for (auto _ : state) measuredFrame(*ow.window);
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}
BENCHMARK(BM_DefaultLayout)->Args({1280, 1024})->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

// One opaque textured quad per slot rectangle of the default layout, with
// the render pass's clear, depth test and finish: what drawing seven
// pictures can cost at the least.
struct FloorScene {
  OffscreenWindow& ow;
  GLuint texture;
};

void floorFrame(const FloorScene& f) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, f.texture);
  for (int s = 0; s < kSlotCount; ++s) {
    const Placement p = f.ow.window->getPlacement(1u << s);
    glViewport(p.x, p.y, p.width, p.height);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, -0.5f);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, -0.5f);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, -0.5f);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, -0.5f);
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  glFlush();
  glFinish();
  f.ow.surface->swapBuffers();
}

[[gnu::noinline]] void measuredFrame(const FloorScene& f) { floorFrame(f); }

void BM_Floor(benchmark::State& state) {
  RecordingSink sink;
  const int width = int(state.range(0)), height = int(state.range(1));
  OffscreenWindow ow(width, height, float(height) / 1024.0f);
  ow.window->resetToDefaults(0x7f);
  GLuint texture = 0;
  // An opaque 1024 x 1024 picture in colour, as most instruments draw.
  if (!ow.window->loadTexture("Data/03310000.tex", texture)) {
    state.SkipWithError("no artwork");
    return;
  }
  const FloorScene scene{ow, texture};
  for (int i = 0; i < kWarmUpFrames; ++i) floorFrame(scene);
  for (auto _ : state) measuredFrame(scene);
  glDeleteTextures(1, &texture);
  state.SetLabel(std::to_string(width) + "x" + std::to_string(height));
}
BENCHMARK(BM_Floor)->Args({1280, 1024})->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

// One instrument of the given type in its default slot at 1280 x 1024.
void BM_OneInstrument(benchmark::State& state) {
  RecordingSink sink;
  const int type = int(state.range(0));
  OffscreenWindow ow(1280, 1024);
  ow.window->setPlacement(InstrumentWindow::defaultPlacement(type), 1u << type);
  if (!ow.window->instrumentFactory(type, type)) {
    state.SkipWithError("instrument type not in this build");
    return;
  }
  const FlightDataBlock b = climbBlock();
  ow.window->setData(b.bytes.data());
  warmUp(*ow.window);
  for (auto _ : state) measuredFrame(*ow.window);
  state.SetLabel(instrumentIdentifier(type));
}
BENCHMARK(BM_OneInstrument)->DenseRange(0, 6)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

void BM_EmptyPass(benchmark::State& state) {
  OffscreenWindow ow(1280, 1024);
  warmUp(*ow.window);
  for (auto _ : state) measuredFrame(*ow.window);
}
BENCHMARK(BM_EmptyPass)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

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
  float flap = 0.0f, step = 0.37f;
  auto next = [&] {
    flap += step;
    if (flap > 42.0f || flap < 0.0f) step = -step;
    const FlightDataBlock b = busyEngineBlock(flap);
    ow.window->setData(b.bytes.data());
  };
  for (int i = 0; i < kWarmUpFrames; ++i) {
    next();
    ow.window->renderPass();
  }
  for (auto _ : state) {
    next();
    measuredFrame(*ow.window);
  }
}
BENCHMARK(BM_EngineDisplayBusy)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

// The system display alone at its default 480 x 480 on one page (0: CRUISE,
// reached through the automatic choice), in a climb with both engines.
void BM_SystemDisplayPage(benchmark::State& state) {
  RecordingSink sink;
  OffscreenWindow ow(480, 480);
  ow.window->setPlacement({0, 0, 480, 480, 1, A320_ECAM_SYSTEM}, 1);
  if (!ow.window->instrumentFactory(0, A320_ECAM_SYSTEM)) {
    state.SkipWithError("system display not in this build");
    return;
  }
  const std::uint32_t page = std::uint32_t(state.range(0));
  FlightDataBlock b = climbBlock();
  b.setU32(40, page << 24);
  ow.window->setData(b.bytes.data());
  warmUp(*ow.window);
  for (auto _ : state) measuredFrame(*ow.window);
  state.SetLabel(page == 0 ? "CRUISE" : sdPageName(SdPage(page)));
}
BENCHMARK(BM_SystemDisplayPage)->DenseRange(0, 12)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", least);

}  // namespace

BENCHMARK_MAIN();
