// The engine/warning display drawn alone in a square window, and reading
// its pixels in instrument coordinates (-1 to 1, y up).
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ecam/draw/primitives.h"
#include "ecam/ewd/engine_warning_display.h"
#include "support/offscreen.h"

namespace ewd_test {

constexpr int kSize = 550;
using Pixels = std::vector<std::uint8_t>;

struct Rgb {
  int r, g, b;
};
struct Box {
  float x0, y0, x1, y1;
};

inline int toPixel(float v) { return int(std::floor((v + 1.0f) * 0.5f * float(kSize))); }

inline Rgb at(const Pixels& p, int x, int y) {
  if (x < 0 || y < 0 || x >= kSize || y >= kSize) return {0, 0, 0};
  const std::size_t i = (std::size_t(kSize - 1 - y) * kSize + std::size_t(x)) * 4;
  return {p[i], p[i + 1], p[i + 2]};
}

inline int count(const Pixels& p, Box b, const std::function<bool(Rgb)>& is) {
  int n = 0;
  for (int y = toPixel(b.y0); y <= toPixel(b.y1); ++y)
    for (int x = toPixel(b.x0); x <= toPixel(b.x1); ++x) n += is(at(p, x, y));
  return n;
}

// Pixels of the box whose channels differ by more than the tolerance.
inline int differing(const Pixels& a, const Pixels& b, Box box, int tolerance = 6) {
  int n = 0;
  for (int y = toPixel(box.y0); y <= toPixel(box.y1); ++y)
    for (int x = toPixel(box.x0); x <= toPixel(box.x1); ++x) {
      const Rgb p = at(a, x, y), q = at(b, x, y);
      n += std::abs(p.r - q.r) > tolerance || std::abs(p.g - q.g) > tolerance || std::abs(p.b - q.b) > tolerance;
    }
  return n;
}

class DisplayFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    w.setPlacement({0, 0, kSize, kSize, 1, A320_ECAM_ENGINE}, 1);
    ASSERT_TRUE(w.instrumentFactory(0, A320_ECAM_ENGINE));
    ASSERT_TRUE(sink.messages.empty()) << sink.messages.front();
    d = static_cast<EngineWarningDisplay*>(w.instrument(0));
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->type(), A320_ECAM_ENGINE);
  }

  Pixels render(const FlightDataBlock& b) {
    w.setData(b.bytes.data());
    EXPECT_TRUE(w.renderPass());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    return ow.pixels();
  }

  // Only what paint writes, with the display's own font on black: the
  // reference the display's text areas must match.
  Pixels alone(const std::function<void(const FontSet&)>& paint) {
    testing_support::beginReferenceFrame(kSize, kSize);
    paint(d->font());
    glFinish();
    return ow.pixels();
  }

  testing_support::RecordingSink sink;
  testing_support::OffscreenWindow ow{kSize, kSize};
  InstrumentWindow& w = *ow.window;
  EngineWarningDisplay* d = nullptr;
};

}  // namespace ewd_test
