// ENG page: fuel used, oil and vibration formulas, and the fuel used as
// drawn over time.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/eng_page.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct EngDisplay : PageDisplay {
  explicit EngDisplay(int size = 200) : PageDisplay(size, 1, SdPage::Eng) {}
};

TEST(EngPage, FuelUsedFromFlowAndElapsedTime) {
  struct Case {
    float flow;
    std::int32_t seconds;
    float kg;
  };
  const Case cases[] = {{3600, 0, 0},          {1e6f, 0, 0},           {3600, 60, 27.21582f},
                        {3600, 120, 54.43164f}, {7200, 3600, 3265.898f}, {0, 3600, 0}};
  for (const Case& c : cases)
    EXPECT_NEAR(sd::eng::fuelUsedKg(c.flow, c.seconds), c.kg, 1e-3) << c.flow << " lb/h, " << c.seconds << " s";
}

TEST(EngPage, Engine2FuelUsedMovesRightWithItsDigits) {
  struct Case {
    float kg, x;
  };
  const Case cases[] = {{0, -0.35675f},    {9.99f, -0.35675f},  {10, -0.32075f},   {27.2f, -0.32075f},
                        {99, -0.32075f},   {99.5f, -0.26675f},  {999, -0.26675f},  {999.5f, -0.22375f},
                        {5000, -0.22375f}, {-3, -0.35675f}};
  for (const Case& c : cases) EXPECT_EQ(sd::eng::fuelUsed2X(c.kg), c.x) << c.kg;
}

TEST(EngPage, VibrationHasAKneeAt15Point3) {
  struct Case {
    float word, vibration;
  };
  const Case cases[] = {{0, 0.5f}, {15000, 2.3f}, {15300, 1.96727f}, {16000, 2.0344f}, {10000, 1.7f}};
  for (const Case& c : cases) EXPECT_NEAR(sd::eng::vibration(c.word * 0.001f), c.vibration, 1e-4) << c.word;
}

TEST(EngPage, OilPressureQuantityAndNeedleAngles) {
  FlightDataBlock b;
  b.setF32(123, 0.0f);
  b.setF32(173, 42300.0f);  // 100 psi
  const sd::eng::EngineValues e1 = sd::eng::engineValues(b, 0), e2 = sd::eng::engineValues(b, 1);
  EXPECT_EQ(e1.oilPressurePsi, 0.0f);
  EXPECT_EQ(e1.oilQuantity, 0.0f);
  EXPECT_FLOAT_EQ(sd::eng::oilPressureAngle(e1.oilPressurePsi), 43.6f);
  EXPECT_FLOAT_EQ(sd::eng::oilQuantityAngle(e1.oilQuantity), 43.6f);
  EXPECT_NEAR(e2.oilPressurePsi, 100.0f, 1e-4);
  EXPECT_NEAR(e2.oilQuantity, 30.0f, 1e-4);
  EXPECT_NEAR(sd::eng::oilPressureAngle(e2.oilPressurePsi), -128.4f, 1e-3);
  EXPECT_NEAR(sd::eng::oilQuantityAngle(e2.oilQuantity), -59.6f, 1e-3);
}

TEST(EngPage, WarningColoursAtAndBelowTheLimits) {
  FlightDataBlock b;
  b.setF32(123, 3384.0f);  // 8.0 psi
  b.setF32(173, 3385.0f);
  b.setF32(124, 1500.0f);  // 15
  b.setF32(174, 1501.0f);
  const sd::eng::EngineValues e1 = sd::eng::engineValues(b, 0), e2 = sd::eng::engineValues(b, 1);
  EXPECT_EQ(sd::eng::oilPressureColour(e1.oilPressurePsi), 6);
  EXPECT_EQ(sd::eng::oilPressureColour(e2.oilPressurePsi), 2);
  EXPECT_EQ(sd::eng::valueColour(e1.value), 6);
  EXPECT_EQ(sd::eng::valueColour(e2.value), 2);
}

// Below 1 kg the readout shows 0, as a number of 0 does.
TEST(EngPage, FuelUsedFollowsTheClockAndResetsWithIt) {
  EngDisplay d;
  FlightDataBlock b;
  b.setF32(112, 3600.0f);
  b.setF32(113, 3600.0f);
  GlyphCapture cap(d.sd().textures.data());
  struct Step {
    float t;
    const char* shown;
    float x2;
  };
  const Step steps[] = {{0, "0", -0.35675f}, {2.9f, "0", -0.35675f}, {3, "1", -0.35675f},
                        {600, "272", -0.26675f}, {0, "0", -0.35675f}};
  for (const Step& s : steps) {
    cap.clear();
    b.setF32(5, s.t);
    d.draw(b);
    EXPECT_EQ(cap.textAt(sdgeo::kEngFuelUsed1.x, sdgeo::kEngFuelUsed1.y, 0.25), s.shown) << s.t;
    EXPECT_EQ(cap.textAt(s.x2, sdgeo::kEngFuelUsed1.y, 0.25), s.shown) << s.t << "\n" << cap.dump();
  }
}

TEST(EngPage, NegativeOilPressureDrawsNoQuantity) {
  EngDisplay d;
  FlightDataBlock b;
  b.setF32(123, -4230.0f);  // -10 psi: no square root
  GlyphCapture cap(d.sd().textures.data());
  d.draw(b);
  EXPECT_EQ(cap.textAt(sdgeo::kEngOilQtyValue1.x, sdgeo::kEngOilQtyValue1.y, 0.2), "") << cap.dump();
  EXPECT_EQ(cap.textAt(sdgeo::kEngOilQtyValue2.x, sdgeo::kEngOilQtyValue2.y, 0.2), "00.0");
  EXPECT_EQ(cap.textAt(sdgeo::kEngOilPressValue1.x, sdgeo::kEngOilPressValue1.y, 0.2), "-10");
}

}  // namespace
