// Every ECAM readout keeps to its box under random blocks: no glyph lands
// on another one (a label, a unit, a sign, another readout's digits) and
// none leaves the screen at its sides. Before, the N1 readouts ran across
// the labels, and the TAT and SAT lines put a third digit under their sign.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ecam/draw/font_geometry.h"
#include "ecam/ewd/engine_warning_display.h"
#include "ecam/sd/page_test_support.h"
#include "ecam/sd/system_display.h"

using namespace testing_support;

namespace {

// The closest the layout itself puts two glyphs: a tenth digit against its
// point, 0.49 of the smaller glyph.
constexpr double kMostOverlap = 0.5;

// Shared area of two glyph cells as a part of the smaller one.
double overlap(const ShownGlyph& a, const ShownGlyph& b) {
  const double aw = fontgeo::kGlyphWidth * a.size, ah = fontgeo::kGlyphHeight * a.size;
  const double bw = fontgeo::kGlyphWidth * b.size, bh = fontgeo::kGlyphHeight * b.size;
  const double w = std::min(a.x + aw, b.x + bw) - std::max(a.x, b.x);
  const double h = std::min(a.y + ah, b.y + bh) - std::max(a.y, b.y);
  return w <= 0 || h <= 0 ? 0.0 : w * h / std::min(aw * ah, bw * bh);
}

std::string describe(const ShownGlyph& g) {
  char text[80];
  std::snprintf(text, sizeof text, "'%c' at (%.3f, %.3f) size %.2f", g.ch, g.x, g.y, g.size);
  return text;
}

TEST(ReadoutBoxes, RandomBlocksKeepEveryGlyphInItsPlace) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  for (int type : {A320_ECAM_ENGINE, A320_ECAM_SYSTEM}) {
    w.setPlacement({0, 0, 64, 64, 0, type}, 1u << type);
    ASSERT_TRUE(w.instrumentFactory(type, type));
  }
  const GLuint* ewd = static_cast<EngineWarningDisplay*>(w.instrument(0))->textures.data();
  auto* sd = static_cast<SystemDisplay*>(w.instrument(1));
  const std::vector<float> specials = {NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 0.0f, 2147483648.0f,
                                       -2147483648.0f, 1e5f, -1e5f, 9999.9f, 99.9f, -99.9f, 100.0f};
  std::mt19937 rng(2112);
  int checked = 0;
  for (int screen = 0; screen < 2; ++screen) {
    w.setVisible(1u, screen == 0);
    w.setVisible(2u, screen == 1);
    GlyphCapture cap(screen == 0 ? ewd : sd->textures.data());
    for (int i = 0; i < 1600; ++i) {
      FlightDataBlock b;
      sdtest::randomise(b, rng, specials, float(std::pow(10.0, double(rng() % 12) - 6.0)));
      if (screen == 1) b.setU32(40, std::uint32_t(i % 16) << 24);  // every page, and automatic
      cap.clear();
      w.setData(b.bytes.data());
      ASSERT_TRUE(w.renderPass());
      const std::string where = screen == 0 ? "engine display" : std::string("system page ") + sdPageName(sd->lastPage);
      const std::vector<ShownGlyph>& g = cap.glyphs();
      for (std::size_t p = 0; p < g.size(); ++p) {
        // Readouts run sideways; only the warning list's eighth and ninth
        // lines sit below the screen, where the layout puts them.
        const double right = g[p].x + fontgeo::kGlyphWidth * g[p].size;
        ASSERT_TRUE(g[p].x >= -1.0 && right <= 1.0) << where << ": " << describe(g[p]) << " leaves the screen";
        for (std::size_t q = p + 1; q < g.size(); ++q) {
          // A glyph drawn twice in one place, and the dots of a leader,
          // which text packs half an advance apart, are no spill.
          if (g[p].ch == g[q].ch && std::fabs(g[p].y - g[q].y) < 1e-6 && std::fabs(g[p].size - g[q].size) < 1e-6)
            continue;
          ASSERT_LE(overlap(g[p], g[q]), kMostOverlap)
              << where << ", block " << i << ": " << describe(g[p]) << " lies on " << describe(g[q]);
        }
      }
      checked += int(g.size());
    }
  }
  EXPECT_GT(checked, 100000);  // the capture saw the readouts at all
  EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
