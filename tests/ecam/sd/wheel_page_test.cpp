// WHEEL page: the brake heating model over frames, the gear doors and
// symbols, and the brake readouts with their signs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ecam/sd/sd_geometry.h"
#include "ecam/sd/wheel_page.h"
#include "page_test_support.h"

using namespace testing_support;
using sd::wheel::BrakeInputs;
using sd::wheel::BrakeModel;

namespace {

BrakeInputs onGround(float tat, float brake, float groundSpeedKt = 0.0f, float ias = 0.0f) {
  BrakeInputs in;
  in.tatC = tat;
  in.brakeInput = brake;
  in.groundSpeedKt = groundSpeedKt;
  in.indicatedKt = ias;
  in.onGround = true;
  return in;
}

void steps(BrakeModel& m, const BrakeInputs& in, int n) {
  for (int i = 0; i < n; ++i) sd::wheel::stepBrakes(m, in);
}

TEST(WheelPage, BrakesAtRestSitAroundTheAmbient) {
  BrakeModel m;
  steps(m, onGround(15.0f, 0.0f), 1);
  EXPECT_FLOAT_EQ(m.temperature[0], 14.0f);
  EXPECT_FLOAT_EQ(m.temperature[1], 17.0f);
  EXPECT_FLOAT_EQ(m.temperature[2], 13.0f);
  EXPECT_FLOAT_EQ(m.temperature[3], 16.0f);
  // Below 0 the ambient is taken as 0.
  steps(m, onGround(-10.0f, 0.0f), 1);
  EXPECT_FLOAT_EQ(m.temperature[0], -1.0f);
  EXPECT_FLOAT_EQ(m.temperature[1], 2.0f);
  EXPECT_FLOAT_EQ(m.temperature[2], -2.0f);
  EXPECT_FLOAT_EQ(m.temperature[3], 1.0f);
}

TEST(WheelPage, BrakesRiseWhileBrakingAndFallAtRest) {
  BrakeModel m;
  // 30 m/s is 58.3 kt; at TAT 10 the first brake heads for 57.8.
  const float gs = 30.0f * 1.943844f;
  const float x = gs * 0.82f + 10.0f;
  ASSERT_NEAR(x, 57.8f, 0.05f);
  const BrakeInputs braking = onGround(10.0f, 100.0f, gs);
  steps(m, braking, 100);
  EXPECT_NEAR(m.temperature[0], 50.0f, 0.01f);
  EXPECT_NEAR(m.temperature[1], 40.0f, 0.01f);
  EXPECT_NEAR(m.temperature[2], 42.0f, 0.01f);
  EXPECT_NEAR(m.temperature[3], 50.4f, 0.01f);
  // The first brake gets there on draw 116, the second on draw 158.
  steps(m, braking, 15);
  EXPECT_LT(m.temperature[0], x);
  steps(m, braking, 1);
  EXPECT_EQ(m.temperature[0], x);
  steps(m, braking, 41);
  EXPECT_LT(m.temperature[1], x + 5.0f);
  steps(m, braking, 1);
  EXPECT_EQ(m.temperature[1], x + 5.0f);
  steps(m, braking, 100);
  EXPECT_EQ(m.temperature[0], x);
  EXPECT_EQ(m.temperature[1], x + 5.0f);
  EXPECT_EQ(m.temperature[2], x + 6.0f);
  EXPECT_EQ(m.temperature[3], x + 2.0f);

  // A slower roll lowers the target: a brake above it drops at once.
  steps(m, onGround(10.0f, 100.0f, 0.0f), 1);
  EXPECT_EQ(m.temperature[0], 10.0f);
  EXPECT_EQ(m.temperature[3], 12.0f);

  // Brakes released (input between 0 and 100): each cools at its own rate.
  steps(m, braking, 300);
  const BrakeInputs released = onGround(10.0f, 50.0f, gs);
  steps(m, released, 20);
  EXPECT_NEAR(m.temperature[0], x - 10.0f, 0.01f);
  EXPECT_NEAR(m.temperature[1], x + 5.0f - 9.0f, 0.01f);
  EXPECT_NEAR(m.temperature[2], x + 6.0f - 8.0f, 0.01f);
  EXPECT_NEAR(m.temperature[3], x + 2.0f - 10.0f, 0.01f);
  steps(m, released, 200);
  EXPECT_EQ(m.temperature[0], 10.0f);
  EXPECT_EQ(m.temperature[1], 10.0f);
  EXPECT_EQ(m.temperature[2], 10.0f);
  // The fourth cycles through T0 + 1, T0 + 0.5 and T0.
  float seen[3];
  for (float& s : seen) {
    steps(m, released, 1);
    s = m.temperature[3];
  }
  std::sort(std::begin(seen), std::end(seen));
  EXPECT_FLOAT_EQ(seen[0], 10.0f);
  EXPECT_FLOAT_EQ(seen[1], 10.5f);
  EXPECT_FLOAT_EQ(seen[2], 11.0f);

  // Input exactly 0: straight to the rest values.
  steps(m, braking, 300);
  steps(m, onGround(10.0f, 0.0f, gs), 1);
  EXPECT_FLOAT_EQ(m.temperature[0], 9.0f);
  EXPECT_FLOAT_EQ(m.temperature[3], 11.0f);
}

TEST(WheelPage, TouchdownHeatPulse) {
  BrakeModel m;
  BrakeInputs air = onGround(15.0f, 0.0f, 0.0f, 140.0f);
  air.onGround = false;
  steps(m, air, 10);
  EXPECT_TRUE(m.touchdownArmed);
  EXPECT_EQ(m.touchdownHeat, 0.0f);

  const BrakeInputs roll = onGround(15.0f, 0.0f, 0.0f, 130.0f);
  steps(m, roll, 50);
  EXPECT_FLOAT_EQ(m.touchdownHeat, 100.0f);
  EXPECT_TRUE(m.touchdownArmed);
  steps(m, roll, 1);  // draw 51: past 100, disarmed, and the fall begins
  EXPECT_FALSE(m.touchdownArmed);
  EXPECT_NEAR(m.touchdownHeat, 101.9f, 0.001f);
  EXPECT_NEAR(m.temperature[0], 15.0f + 101.9f - 1.0f, 0.001f);
  EXPECT_NEAR(m.temperature[1], 15.0f + 101.9f + 2.0f, 0.001f);

  steps(m, roll, 500);
  EXPECT_NEAR(m.touchdownHeat, 51.9f, 0.05f);
  // Back to nothing, not below: the brakes at rest read the ambient again.
  steps(m, roll, 2000);
  EXPECT_EQ(m.touchdownHeat, 0.0f);
  EXPECT_FLOAT_EQ(m.temperature[2], 13.0f);

  // Slow touchdowns add nothing and keep it armed.
  BrakeModel slow;
  steps(slow, air, 1);
  steps(slow, onGround(15.0f, 0.0f, 0.0f, 100.0f), 100);
  EXPECT_EQ(slow.touchdownHeat, 0.0f);
  EXPECT_TRUE(slow.touchdownArmed);
}

TEST(WheelPage, GearDoorsAndSymbols) {
  struct Case {
    float lever, position;
    float angle;
    int doorColour, symbolColour;
    bool shown;
  };
  constexpr float k1 = 0.016863406f, k2 = 0.021413276f;
  const Case cases[] = {
      // Extending.
      {1, 0, 0, 2, 2, false},
      {1, 4000, -4000 * k1, 2, 2, false},
      {1, 8000, -130, 2, 2, false},
      {1, 9000, -130, 6, 6, true},
      {1, 10000, -130, 6, 6, true},
      {1, 12000, 2000 * k2 - 135, 2, 2, true},
      {1, 16299, 6299 * k2 - 135, 2, 2, true},
      {1, 16300, 0, 2, 2, true},
      {1, 16384, 0, 2, 2, true},
      {1, -5, 0, 2, 2, false},
      // Retracting.
      {0, 16384, 0, 2, 2, false},
      {0, 16100, 0, 2, 2, true},
      {0, 12000, -4000 * k1, 2, 2, true},
      {0, 8000, -130, 6, 6, true},
      {0, 6000, -130, 6, 6, true},
      {0, 3000, 3000 * k2 - 135, 2, 2, false},
      {0, 0, 0, 2, 2, false},
      // Neither.
      {-1, 9000, 0, 2, 2, false},
      {NAN, 9000, 0, 2, 2, false},
      {1, NAN, 0, 2, 2, false},
      {1, INFINITY, 0, 2, 2, true},
  };
  for (const Case& c : cases) {
    const sd::wheel::GearView g = sd::wheel::gearView(c.lever, c.position);
    SCOPED_TRACE(testing::Message() << "lever " << c.lever << " position " << c.position);
    EXPECT_NEAR(g.doorAngle, c.angle, 1e-3);
    EXPECT_EQ(g.doorColour, c.doorColour);
    EXPECT_EQ(g.symbolColour, c.symbolColour);
    EXPECT_EQ(g.symbolShown, c.shown);
  }
}

// The page in a window, on page 10, on the ground.
struct WheelDisplay : sdtest::PageDisplay {
  explicit WheelDisplay(int size = 400) : PageDisplay(size, 10, SdPage::Wheel) { block.setU32(221, 2u); }
  void tat(float c) { block.setF32(8, c / 250.0f); }
  void draw(int n = 1) { PageDisplay::draw(block, n); }
  FlightDataBlock block;
};

// The sign is the brake's own: drawn once, in the sign cell, before the
// brake's magnitude; the TAT has no say in it.
TEST(WheelPage, BrakeReadoutsAndSigns) {
  using namespace sdgeo;
  struct Case {
    const char* name;
    float tat;
    float hot;  // brakes at this temperature before the draw, then cooling; 0: at rest
    const char* numbers[4];
    bool sign[4];
  };
  const Case cases[] = {
      {"TAT 15 at rest", 15.0f, 0, {"014", "017", "013", "016"}, {false, false, false, false}},
      {"TAT -10 at rest: brakes 1 and 3 below 0", -10.0f, 0, {"001", "002", "002", "001"}, {true, false, true, false}},
      {"TAT 1.5: brake 3 at -0.5 reads 0", 1.5f, 0, {"000", "003", "000", "002"}, {false, false, false, false}},
      {"TAT 0", 0.0f, 0, {"001", "002", "002", "001"}, {true, false, true, false}},
      {"TAT NaN counts as 0", NAN, 0, {"001", "002", "002", "001"}, {true, false, true, false}},
      {"hot brakes in the cold", -10.0f, 48.6f, {"048", "048", "048", "048"}, {false, false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WheelDisplay d(200);
    d.tat(c.tat);
    if (c.hot != 0.0f) {
      for (float& t : sd::wheel::brakeModel().temperature) t = c.hot;
      d.block.setF32(41, 50.0f);  // released: each cools by less than 0.6
    }
    GlyphCapture cap(d.slots());
    d.draw();
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(cap.textAt(kBrakeX[i], kBrakeY, 0.15), c.numbers[i]) << "brake " << i + 1 << ": " << cap.dump();
      EXPECT_EQ(cap.colourAt(kBrakeX[i], kBrakeY, 0.15), 2);
      EXPECT_EQ(cap.textAt(kBrakeSignX[i], kBrakeSignY, 0.03), c.sign[i] ? "-" : "") << "sign " << i + 1;
    }
    EXPECT_EQ(std::count_if(cap.glyphs().begin(), cap.glyphs().end(),
                            [](const ShownGlyph& g) { return g.ch == '-' && std::fabs(g.y - kBrakeY) < 0.02; }),
              std::count(std::begin(c.sign), std::end(c.sign), true));
  }
}

// The page feeds the model the brake input and the ground speed: after 400
// draws braking at 30 m/s the brakes read their targets.
TEST(WheelPage, BrakeReadoutsClimbWhileBraking) {
  using namespace sdgeo;
  WheelDisplay d(200);
  d.tat(10.0f);
  d.block.setF32(41, 100.0f);
  d.block.setF32(227, 30.0f);
  d.draw(400);
  GlyphCapture cap(d.slots());
  d.draw();
  const char* shown[4] = {"057", "062", "063", "059"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cap.textAt(kBrakeX[i], kBrakeY, 0.15), shown[i]) << i;
  // Another page in between does not advance the model.
  d.page = 7;
  d.expect = SdPage::Apu;
  d.block.setF32(41, 0.0f);
  d.draw(50);
  EXPECT_NEAR(sd::wheel::brakeModel().temperature[0], 57.8f, 0.05f);
}

}  // namespace
