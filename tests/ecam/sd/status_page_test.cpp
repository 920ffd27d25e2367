// STATUS page: the normal-status text flashes with the elapsed-time word.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct StatusDisplay : PageDisplay {
  explicit StatusDisplay(int size = 200) : PageDisplay(size, 12, SdPage::Status) {}
};

TEST(StatusPage, TextShowsInEvenSeconds) {
  struct Case {
    float seconds;
    bool shown;
  };
  const Case cases[] = {{10.9f, true}, {11.0f, false}, {-3.5f, false}, {-2.2f, true}, {0.0f, true},
                        {1.0f, false}, {NAN, true},    {3e9f, false},  {-3e9f, true}};
  StatusDisplay d;
  for (const Case& c : cases) {
    FlightDataBlock b;
    b.setF32(5, c.seconds);
    GlyphCapture cap(d.sd().textures.data());
    d.draw(b);
    const std::string text = cap.textAt(sdgeo::kStatusText.x, sdgeo::kStatusText.y, 1.5);
    EXPECT_EQ(text, c.shown ? "AIRCRAFTSTATUSISNORMALLY" : "") << "word 5 = " << c.seconds << "\n" << cap.dump();
    if (c.shown) {
      EXPECT_EQ(cap.colourAt(sdgeo::kStatusText.x, sdgeo::kStatusText.y, 1.5), 2);
      // Size 0.7: an advance of 0.0385; "AIRCRAFT " with its narrow I puts the S at 8.5 advances.
      bool found = false;
      for (const ShownGlyph& g : cap.glyphs())
        if (g.ch == 'S' && std::fabs(g.y - sdgeo::kStatusText.y) < 1e-6 && !found) {
          EXPECT_NEAR(g.x, sdgeo::kStatusText.x + 8.5 * 0.055 * 0.7, 1e-5);
          EXPECT_NEAR(g.size, 0.7, 1e-6);
          found = true;
        }
      EXPECT_TRUE(found);
    }
  }
}

TEST(StatusPage, ShowsBackgroundAndPermanentData) {
  StatusDisplay d(256);
  FlightDataBlock b;
  b.setF32(5, 1.0f);  // text off: what is lit is the picture and the data area
  b.setF32(2, 13.0f);
  GlyphCapture cap(d.sd().textures.data());
  d.draw(b);
  EXPECT_EQ(cap.textAt(sdgeo::kHours.x, sdgeo::kHours.y, 0.2), "13") << cap.dump();
  int lit = 0;  // the title's underline at the top centre
  for (int y = int((0.842 + 1) * 128) - 3; y <= int((0.842 + 1) * 128) + 3; ++y) {
    const auto p = d.ow.at(128, y);
    if (p[0] > 100 && p[1] > 100 && p[2] > 100) ++lit;
  }
  EXPECT_GT(lit, 0);
}

TEST(StatusPage, RandomBlocksDrawWithoutHarm) {
  StatusDisplay d(64);
  std::mt19937 rng(12);
  std::uniform_int_distribution<std::uint32_t> bits;
  FlightDataBlock b;
  int shown = 0;
  for (int frame = 0; frame < 2000; ++frame) {
    for (int w = 0; w < 256; ++w) b.setU32(w, bits(rng));
    const float t = b.f32(5);
    GlyphCapture cap(d.sd().textures.data());
    d.draw(b);
    const bool on = !cap.textAt(sdgeo::kStatusText.x, sdgeo::kStatusText.y, 1.5).empty();
    const double whole = std::isnan(t) ? 0.0 : std::trunc(std::fmax(std::fmin(double(t), 2147483647.0), -2147483648.0));
    ASSERT_EQ(on, std::fmod(whole, 2.0) == 0.0) << "word 5 = " << t;
    shown += on;
  }
  EXPECT_GT(shown, 0);
  EXPECT_LT(shown, 2000);
}

}  // namespace
