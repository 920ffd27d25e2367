// HYD page: the pressure arithmetic, the low overlays, the PTU states and
// the readouts as drawn.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/hyd_page.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;
using sd::hyd::Ptu;

namespace {

constexpr std::uint32_t kOnGround = 2u;

struct HydDisplay : PageDisplay {
  explicit HydDisplay(int size = 200) : PageDisplay(size, 5, SdPage::Hyd) {}
};


TEST(HydPage, PressuresFromTheDrives) {
  struct Case {
    float drive1, drive2;
    bool onGround;
    std::int32_t green, blue, yellow;
    Ptu ptu;
  };
  const Case cases[] = {
      {0, 0, false, 0, 0, 0, Ptu::Balanced},
      {0, 0, true, 0, 0, 2500, Ptu::YellowToGreen},  // the yellow electric pump
      {9e6f, 9e6f, false, 3000, 0, 3000, Ptu::Balanced},
      {12e6f, 12e6f, false, 3000, 3000, 3000, Ptu::Balanced},
      {10e6f, 10e6f, false, 3000, 2500, 3000, Ptu::Balanced},
      {11.99e6f, 11.99e6f, false, 3000, 2997, 3000, Ptu::Balanced},
      {5e6f, 0, false, 1670, 0, 0, Ptu::GreenToYellow},
      {9e6f, 0, true, 3000, 0, 2500, Ptu::GreenToYellow},  // exactly 500 apart
      {5.99e6f, 0, true, 2000, 0, 2500, Ptu::YellowToGreen},
      {6e6f, 0, true, 2004, 0, 2500, Ptu::Balanced},
      {0, 8.99e6f, true, 0, 0, 2500, Ptu::YellowToGreen},
      {0, 9e6f, true, 0, 0, 3000, Ptu::YellowToGreen},
      {9999, 9999, false, 0, 0, 0, Ptu::Balanced},
      {-5e6f, 0, false, -1670, 0, 0, Ptu::YellowToGreen},
      {NAN, INFINITY, false, 0, 3000, 3000, Ptu::YellowToGreen},  // half the sum is 107374
      {1e38f, 1e38f, false, 3000, 3000, 3000, Ptu::Balanced},
      {-1e38f, -1e38f, true, -717258, 0, 2500, Ptu::YellowToGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.drive1 << ", " << c.drive2 << (c.onGround ? " on ground" : " in flight"));
    const sd::hyd::Systems s = sd::hyd::systems(c.drive1, c.drive2, c.onGround);
    EXPECT_EQ(s.green, c.green);
    EXPECT_EQ(s.blue, c.blue);
    EXPECT_EQ(s.yellow, c.yellow);
    EXPECT_EQ(s.ptu, c.ptu);
  }
  EXPECT_TRUE(sd::hyd::low(100));
  EXPECT_FALSE(sd::hyd::low(101));
  EXPECT_TRUE(sd::hyd::low(-1670));
  EXPECT_EQ(sd::hyd::systems(300000, 0, false).green, 100);  // 30 x 3.34
  EXPECT_EQ(sd::hyd::systems(310000, 0, false).green, 103);
}

TEST(HydPage, ReadoutsAsDrawn) {
  using namespace sdgeo;
  HydDisplay d;
  FlightDataBlock b;
  b.setF32(126, 5e6f);
  b.setU32(221, kOnGround);
  GlyphCapture cap(d.sd().textures.data());
  d.draw(b);
  const char* pressures[3] = {"1670", "0000", "2500"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cap.textAt(kHydPressureX[i], kHydPressureY, 0.3), pressures[i]) << i << "\n" << cap.dump();
    EXPECT_EQ(cap.colourAt(kHydPressureX[i], kHydPressureY, 0.3), 5) << i;
  }
  struct Label {
    Point at;
    const char* text;
  };
  const Label labels[] = {{kHydRatLabel, "RAT"}, {kHydBlueElecLabel, "ELEC"}, {kHydPump1, "1"}, {kHydPump2, "2"}};
  for (const Label& l : labels) {
    EXPECT_EQ(cap.textAt(l.at.x, l.at.y, 0.2), l.text);
    EXPECT_EQ(cap.colourAt(l.at.x, l.at.y, 0.2), 0) << l.text;
  }
  // The yellow ELEC label is written twice over itself.
  EXPECT_EQ(cap.textAt(kHydYellowElecLabel.x, kHydYellowElecLabel.y, 0.2), "EELLEECC");
}

double columnX(const sdgeo::Quad& q) { return (q.x0 + q.x1) / 2.0; }

TEST(HydPage, LowSystemsTurnAmber) {
  using namespace sdgeo;
  HydDisplay d(400);
  // The supply line above each pressure.
  const double y = 0.52;
  const double x[3] = {columnX(kHydGreenLow), columnX(kHydBlueLow), columnX(kHydYellowLow)};
  struct Case {
    float drive1, drive2;
    bool onGround;
    bool low[3];
  };
  const Case cases[] = {{0, 0, false, {true, true, true}},
                        {0, 0, true, {true, true, false}},
                        {12e6f, 12e6f, false, {false, false, false}},
                        {9e6f, 9e6f, false, {false, true, false}}};
  for (const Case& c : cases) {
    FlightDataBlock b;
    b.setF32(126, c.drive1);
    b.setF32(176, c.drive2);
    b.setU32(221, c.onGround ? kOnGround : 0u);
    d.draw(b);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(d.near(x[i], y, 1, amberish), c.low[i]) << "system " << i << " drives " << c.drive1;
      EXPECT_EQ(d.near(x[i], y, 1, greenish), !c.low[i]) << "system " << i << " drives " << c.drive1;
    }
  }
}

// Inside the left (to green) and right (to yellow) triangles of the symbol.
struct PtuProbe {
  double left, right;
};
PtuProbe ptuProbe(float offset) {
  const double c = sdgeo::kPtuSymbolX + offset - sdgeo::kPtuOffsetBalanced;
  return {c - 0.04, c + 0.04};
}

TEST(HydPage, PtuSymbolShowsTheTransferDirection) {
  using namespace sdgeo;
  HydDisplay d(400);
  const double y = (kPtuBottom + kPtuTop) / 2 + 0.012;  // clear of the link line
  struct Case {
    float drive1;
    bool onGround;
    float offset;
    bool leftFilled, rightFilled;
  };
  const Case cases[] = {{0, false, kPtuOffsetBalanced, false, false},
                        {5e6f, false, kPtuOffsetGreenToYellow, false, true},
                        {0, true, kPtuOffsetYellowToGreen, true, false}};
  for (const Case& c : cases) {
    FlightDataBlock b;
    b.setF32(126, c.drive1);
    b.setU32(221, c.onGround ? kOnGround : 0u);
    d.draw(b);
    const PtuProbe p = ptuProbe(c.offset);
    EXPECT_EQ(d.near(p.left, y, 0, greenish), c.leftFilled) << "offset " << c.offset;
    EXPECT_EQ(d.near(p.right, y, 0, greenish), c.rightFilled) << "offset " << c.offset;
    // The bases of both triangles are drawn in every state.
    EXPECT_TRUE(d.near(p.left + 0.028, y + 0.02, 2, greenish)) << "offset " << c.offset;
    EXPECT_TRUE(d.near(p.right - 0.028, y + 0.02, 2, greenish)) << "offset " << c.offset;
  }
}

}  // namespace
