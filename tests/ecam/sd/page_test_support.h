#pragma once
// One system display in an offscreen window for the page tests, with the
// pixel and random-block helpers they share.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "support/glyph_text.h"
#include "support/offscreen.h"

namespace sdtest {

using testing_support::GlyphCapture;

// Starts from a fresh run: the page models' state is shared by the process.
// With a page number, draw() puts it in word 40 and insists on the page.
struct PageDisplay {
  explicit PageDisplay(int size = 256, std::uint32_t page = 0, SdPage expect = SdPage::None)
      : size(size), page(page), expect(expect), ow(size, size) {
    sd::resetModuleState();
    ow.window->setPlacement({0, 0, size, size, 1, A320_ECAM_SYSTEM}, 1);
    EXPECT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_SYSTEM));
  }
  SystemDisplay& sd() { return *static_cast<SystemDisplay*>(ow.window->instrument(0)); }
  const GLuint* slots() { return sd().textures.data(); }
  void draw(FlightDataBlock b, int times = 1) {
    if (page) b.setU32(40, page << 24);
    for (int i = 0; i < times; ++i) {
      ow.window->setData(b.bytes.data());
      ASSERT_TRUE(ow.window->renderPass());
      if (expect != SdPage::None) {
        ASSERT_EQ(sd().lastPage, expect);
      }
    }
  }
  // One frame as sent; returns the page it showed.
  SdPage shown(const FlightDataBlock& b) {
    ow.window->setData(b.bytes.data());
    EXPECT_TRUE(ow.window->renderPass());
    return sd().lastPage;
  }
  int px(double v) const { return int(std::lround((v + 1) * size / 2)); }
  // Whether any pixel within r pixels of (x, y) passes.
  template <class Pred>
  bool near(double x, double y, int r, Pred pred) const {
    const int cx = px(x), cy = px(y);
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (pred(ow.at(cx + dx, cy + dy))) return true;
    return false;
  }
  int size;
  std::uint32_t page;
  SdPage expect;  // None: any page
  testing_support::RecordingSink sink;
  testing_support::OffscreenWindow ow;
};

inline bool green(std::array<int, 3> p) { return p[1] > 150 && p[0] < 110 && p[2] < 110; }

// Every word random: raw bits, small floats, or one of the special values.
inline void randomise(FlightDataBlock& b, std::mt19937& rng, const std::vector<float>& specials, float smallScale) {
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int w = 0; w < 256; ++w) {
    const std::uint32_t r = bits(rng);
    if (r % 4 == 0)
      b.setF32(w, specials[(r >> 8) % specials.size()]);
    else if (r % 4 == 1)
      b.setF32(w, float(std::int32_t(r)) * smallScale);
    else
      b.setU32(w, r);
  }
}

}  // namespace sdtest
