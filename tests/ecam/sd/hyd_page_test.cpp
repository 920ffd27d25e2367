// HYD page: the pressure arithmetic, the low limit and the PTU states.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/hyd_page.h"

using sd::hyd::Ptu;

namespace {

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

}  // namespace
