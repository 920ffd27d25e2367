// STATUS page: the normal-status text flashes with the elapsed-time word.
#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
