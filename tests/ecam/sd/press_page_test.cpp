// PRESS page: the cabin values from the height above the field, their
// needles and readouts, and the ground elevation it keeps.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ecam/sd/press_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct PressDisplay : PageDisplay {
  explicit PressDisplay(int size = 256) : PageDisplay(size, 3, SdPage::Press) {}
};

FlightDataBlock block(float altitudeFt, bool onGround, float cabinVs = 0.0f) {
  FlightDataBlock b;
  b.setF32(29, altitudeFt);
  b.setF32(30, cabinVs / 0.1537875f);
  if (onGround) b.setU32(221, 2);
  return b;
}

std::int32_t elevation() { return sd::cabinState().groundElevationFt; }

TEST(PressPage, OnTheGround) {
  for (float field : {0.0f, 1234.9f, -50.0f}) {
    SCOPED_TRACE(field);
    const sd::press::Cabin c = sd::press::cabin(field, std::int32_t(field));
    EXPECT_GE(c.heightM, 0.3048);
    EXPECT_LE(c.heightM, 0.6097);
    EXPECT_GT(c.dpPsi, 0.0);
    EXPECT_LT(c.dpPsi, 0.001);
    EXPECT_NEAR(sd::press::dpAngle(c.dpPsi), 45.0f, 0.02f);
    EXPECT_NEAR(sd::press::cabinAltitudeAngle(c.altitudeFt), 45.0f, 0.01f);
    EXPECT_NEAR(sd::press::outflowAngle(c.altitudeFt), -80.0f, 0.1f);
  }
}

TEST(PressPage, AtThirtyThousandFeet) {
  const sd::press::Cabin c = sd::press::cabin(30000, 0);
  EXPECT_NEAR(c.heightM, 9144.4, 0.1);
  EXPECT_NEAR(c.altitudeFt, 6000.0, 0.5);
  EXPECT_NEAR(c.dpPsi, 7.46, 0.005);
  EXPECT_NEAR(sd::press::cabinAltitudeAngle(c.altitudeFt), -63.0f, 0.01f);
  EXPECT_EQ(sd::press::outflowAngle(c.altitudeFt), 0.0f);
  EXPECT_NEAR(sd::press::dpAngle(c.dpPsi), 45 - 7.4618 * 18, 0.01);
  // The height stops growing at 40000 ft.
  EXPECT_EQ(sd::press::cabin(45000, 0).dpPsi, sd::press::cabin(40000, 0).dpPsi);
  EXPECT_NEAR(sd::press::pressureHpa(0), 1013.25, 1e-9);
}

TEST(PressPage, VerticalSpeed) {
  struct Case {
    float vs, limited, angle;
    std::int32_t colour;
  };
  const Case cases[] = {{0, 0, 0, 2},          {50, 50, -7.5f, 2},       {598.9f, 598.9f, -89.835f, 2},
                        {599, 599, -89.85f, 6}, {-599, -599, 89.85f, 6},  {-700, -700, 90, 6},
                        {2000, 999, -90, 6},    {-2000, -999, 90, 6}};
  for (const Case& c : cases) {
    const float vs = sd::press::verticalSpeed(c.vs / 0.1537875f);
    EXPECT_NEAR(vs, c.limited, 0.01) << c.vs;
    EXPECT_NEAR(sd::press::verticalSpeedAngle(vs), c.angle, 0.01) << c.vs;
    EXPECT_EQ(sd::press::verticalSpeedColour(vs), c.colour) << c.vs;
  }
  EXPECT_EQ(sd::press::verticalSpeed(NAN), 0.0f);
  EXPECT_EQ(sd::press::verticalSpeed(INFINITY), 999.0f);
}

TEST(PressPage, NeedlesOfValuesThatAreNotNumbers) {
  EXPECT_EQ(sd::press::dpAngle(NAN), 45.0f);
  EXPECT_EQ(sd::press::cabinAltitudeAngle(INFINITY), 45.0f);
  EXPECT_EQ(sd::press::outflowAngle(NAN), -80.0f);
  EXPECT_EQ(sd::press::outflowAngle(-INFINITY), -80.0f);
  EXPECT_EQ(sd::press::outflowAngle(INFINITY), 0.0f);
  // A field far below the formula's atmosphere.
  const sd::press::Cabin c = sd::press::cabin(0, std::numeric_limits<std::int32_t>::min());
  EXPECT_TRUE(std::isnan(c.dpPsi));
}

TEST(PressPage, GroundElevationOnlyWithTheGroundBit) {
  PressDisplay d(32);
  d.draw(block(2500.8f, true));
  EXPECT_EQ(elevation(), 2500);
  FlightDataBlock air = block(9000, false);
  air.setU32(221, ~2u);
  d.draw(air);
  EXPECT_EQ(elevation(), 2500);
  d.draw(block(-1e30f, true));
  EXPECT_EQ(elevation(), std::numeric_limits<std::int32_t>::min());
}

TEST(PressPage, Readouts) {
  using namespace sdgeo;
  struct Case {
    const char* name;
    float altitude, vs;
    bool ground;
    const char *dp, *vsText, *cabinAlt;
    int vsColour;
    float vsDigitsX;  // where the first digit of |VS| lies
  };
  const float step = 0.04424f * kPressValueSize;
  const Case cases[] = {
      // A DP below 1 keeps the 0 of its integer part.
      {"on ground", 0, 0, true, "0.0", "0", "0", 2, kPressVsShortX + 3 * step},
      {"30000 ft", 30000, 0, false, "7.4", "0", "6000", 2, kPressVsShortX + 3 * step},
      {"descending", 10000, -700, false, "3.5", "-700", "2000", 6, kPressVsX + step},
      {"slow climb", 5000, 50, false, "1.9", "50", "1000", 2, kPressVsShortX + 2 * step},
      {"slow descent", 5000, -50, false, "1.9", "-50", "1000", 2, kPressVsShortX + 2 * step},
      {"steep climb", 5000, 2000, false, "1.9", "999", "1000", 6, kPressVsX + step},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PressDisplay d(32);
    d.draw(block(0, true));  // the field at 0 ft
    GlyphCapture cap(d.sd().textures.data());
    d.draw(block(c.altitude, c.ground, c.vs));
    const float y = kPressValueY;
    EXPECT_EQ(cap.textAt(kPressDpX, y, 0.3), c.dp) << cap.dump();
    EXPECT_EQ(cap.textAt(kPressVsShortX, y, 0.35), c.vsText);
    EXPECT_EQ(cap.textAt(kPressCabAltX, y, 0.3), c.cabinAlt);
    EXPECT_EQ(cap.colourAt(kPressCabAltX, y, 0.3), 2);
    EXPECT_EQ(cap.colourAt(c.vsDigitsX, y, 0.3), c.vsColour);
    int digitsAt = 0;
    for (const ShownGlyph& g : cap.glyphs())
      if (std::fabs(g.y - y) < 1e-3 && g.ch >= '0' && g.ch <= '9' && std::fabs(g.x - c.vsDigitsX) < 1e-4) ++digitsAt;
    EXPECT_EQ(digitsAt, 1);
    if (c.vs < 0) {
      EXPECT_EQ(cap.textAt(kPressVsX, y, 0.01), "-");
      EXPECT_EQ(cap.colourAt(kPressVsX, y, 0.01), 2);
    }
  }
}

}  // namespace
