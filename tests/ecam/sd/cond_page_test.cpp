// COND page: zone temperatures and trim valves over many draws, the needle
// angles and the hot-air valve, and the readouts.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/cond_page.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct CondDisplay : PageDisplay {
  explicit CondDisplay(int size = 200) : PageDisplay(size, 8, SdPage::Cond) {}
};

const float* zones() { return sd::cabinState().zoneTemperature; }
const float* valves() { return sd::cond::trimValves().opening; }

TEST(CondPage, SeedOpensTheValvesBySatBelowTarget) {
  struct Case {
    float sat;
    float opening;
  };
  // Zone 1 target 22: how far the SAT lies below it.
  const Case cases[] = {{0.0f, 200}, {1.9f, 200},  {2.0f, 170},   {6.5f, 170},  {7.0f, 120},     {12.0f, 80},
                        {17.0f, 50}, {19.9f, 50},  {20.0f, 33},   {30.0f, 33},  {-1e30f, 200},   {NAN, 200},
                        {1e30f, 33}};
  for (const Case& c : cases) {
    sd::CabinState cabin;
    sd::cond::TrimValves v;
    for (float& o : v.opening) o = 33.0f;  // kept when the SAT is close to the target
    sd::cond::step(cabin, v, 0.0f, c.sat, 0.0f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(v.opening[i], c.opening) << "SAT " << c.sat << " zone " << i;
  }
}

TEST(CondPage, FirstDrawOnGroundAtSatZero) {
  CondDisplay d(400);
  FlightDataBlock b;
  GlyphCapture cap(d.sd().textures.data());
  d.draw(b);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(zones()[i], 0.0f);
    EXPECT_EQ(valves()[i], 200.0f);
    EXPECT_EQ(sd::cond::needleAngle(valves()[i]), -134.0f);
    EXPECT_EQ(cap.textAt(sdgeo::kCondZoneX[i], sdgeo::kCondZoneY, 0.15), "0") << cap.dump();
    EXPECT_EQ(cap.textAt(sdgeo::kCondValveX[i], sdgeo::kCondValveY, 0.2), "200");
    EXPECT_EQ(cap.colourAt(sdgeo::kCondValveX[i], sdgeo::kCondValveY, 0.2), 2);
  }
  EXPECT_TRUE(sd::cond::hotAirShown(sd::cond::trimValves()));
  EXPECT_FALSE(sd::cabinState().seed);
}

TEST(CondPage, GroundWarmingAndValveDecay) {
  sd::resetModuleState();
  sd::CabinState& c = sd::cabinState();
  sd::cond::TrimValves& v = sd::cond::trimValves();
  sd::cond::step(c, v, 0.0f, 0.0f, 0.0f);
  c.seed = false;  // as the draw does
  for (int i = 0; i < 1000; ++i) sd::cond::step(c, v, 0.0f, 0.0f, 0.0f);
  // Zones still short of their targets: the valves drift by 0.002 a draw.
  EXPECT_NEAR(c.zoneTemperature[0], 9.0f, 1e-3);
  EXPECT_NEAR(c.zoneTemperature[1], 8.0f, 1e-3);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v.opening[i], 198.0f, 1e-2);

  // Zone 1 reaches 21 (its target less 1) after about 2333 draws; from then
  // on its valve closes by 0.3 a draw.
  int fastFrom = 0;
  float zone1AtFast = 0.0f, zone1Before = 0.0f;
  for (int draw = 1001; draw <= 4000; ++draw) {
    const float before = v.opening[0];
    const float t = c.zoneTemperature[0];
    sd::cond::step(c, v, 0.0f, 0.0f, 0.0f);
    if (!fastFrom && before - v.opening[0] > 0.1f) {
      fastFrom = draw;
      zone1AtFast = c.zoneTemperature[0];
      zone1Before = t;
      EXPECT_NEAR(before - v.opening[0], 0.3f, 1e-4);
    }
    if (draw == 3100) {
      EXPECT_EQ(v.opening[0], 0.0f);             // closed and held at 0
      EXPECT_NEAR(v.opening[1], 126.5f, 1.0f);   // zone 2 reached 23 at about 2875
      EXPECT_TRUE(sd::cond::hotAirShown(v));
    }
  }
  EXPECT_NEAR(fastFrom, 2334, 3);
  EXPECT_GE(zone1AtFast, 21.0f);
  EXPECT_LT(zone1Before, 21.0f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v.opening[i], 0.0f) << i;
  EXPECT_FALSE(sd::cond::hotAirShown(v));
  EXPECT_EQ(c.zoneTemperature[0], 22.0f);
  EXPECT_EQ(c.zoneTemperature[1], 24.0f);
  EXPECT_EQ(c.zoneTemperature[2], 23.0f);
}

TEST(CondPage, ValveShortOfTargetDriftsBelowZero) {
  sd::CabinState c;
  c.seed = false;
  c.zoneTemperature[0] = -100.0f;  // far from its target for all the draws below
  sd::cond::TrimValves v;
  for (int i = 0; i < 1000; ++i) sd::cond::step(c, v, 0.0f, 0.0f, 0.0f);
  EXPECT_NEAR(v.opening[0], -2.0f, 1e-3);
  EXPECT_EQ(sd::cond::needleAngle(v.opening[0]), -47.0f);
}

// In cruise with zone 1 four degrees short, every valve opens by 0.5 a draw
// and then drifts by 0.002 while its zone is still short: 0.498 net, and the
// limit of 110 is followed by the same drift.
TEST(CondPage, CruiseReheatOpensTheValves) {
  sd::CabinState c;
  c.seed = false;  // zones 18, 19 and 20 against 22, 24 and 23
  sd::cond::TrimValves v;
  for (int i = 0; i < 100; ++i) sd::cond::step(c, v, 250.0f, -50.0f, 35000.0f);
  EXPECT_TRUE(c.heating);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v.opening[i], 49.8f, 1e-3) << i;
  EXPECT_NEAR(c.zoneTemperature[0], 18.68f, 1e-3);  // +0.008 - 0.0012 a draw
  EXPECT_NEAR(c.zoneTemperature[1], 19.7f, 1e-3);
  for (int i = 0; i < 130; ++i) sd::cond::step(c, v, 250.0f, -50.0f, 35000.0f);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v.opening[i], 109.998f, 1e-4) << i;

  // Low or slow: nothing moves.
  const sd::CabinState before = c;
  const sd::cond::TrimValves valvesBefore = v;
  sd::cond::step(c, v, 250.0f, -50.0f, 3000.0f);
  sd::cond::step(c, v, 100.0f, -50.0f, 35000.0f);
  sd::cond::step(c, v, 50.0f, -50.0f, 35000.0f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(c.zoneTemperature[i], before.zoneTemperature[i]);
    EXPECT_EQ(v.opening[i], valvesBefore.opening[i]);
  }
}

TEST(CondPage, CruiseHeatingEndsAtZone1Target) {
  sd::CabinState c;
  c.seed = false;
  c.heating = true;
  c.zoneTemperature[0] = 21.999f;  // less than 4 short: only the flag keeps it heating
  sd::cond::TrimValves v;
  sd::cond::step(c, v, 250.0f, 0.0f, 5000.0f);
  EXPECT_EQ(c.zoneTemperature[0], 22.0f);
  EXPECT_FALSE(c.heating);
  EXPECT_NEAR(v.opening[0], 0.2f, 1e-6);  // opened by 0.5, then closed by 0.3 at the target
  EXPECT_NEAR(v.opening[1], 0.498f, 1e-6);  // zone 2 still short: only the drift
  sd::cond::step(c, v, 250.0f, 0.0f, 5000.0f);
  EXPECT_FLOAT_EQ(c.zoneTemperature[0], 22.0f - 0.0012f);  // cooling again
}

TEST(CondPage, NeedleAnglesAndHotAirValve) {
  struct Case {
    float opening, angle;
  };
  const Case cases[] = {{0, -47},          {200, -134},  {100, -90.5f}, {-10, -47},
                        {1e30f, -134},     {NAN, -47},   {INFINITY, -134}};
  for (const Case& c : cases) EXPECT_FLOAT_EQ(sd::cond::needleAngle(c.opening), c.angle) << c.opening;

  sd::cond::TrimValves v;
  EXPECT_FALSE(sd::cond::hotAirShown(v));
  v.opening[0] = v.opening[1] = v.opening[2] = 0.5f;
  EXPECT_FALSE(sd::cond::hotAirShown(v));
  v.opening[2] = 0.51f;
  EXPECT_TRUE(sd::cond::hotAirShown(v));
}

TEST(CondPage, NegativeValuesUseThePrimitivesSign) {
  CondDisplay d;
  FlightDataBlock b;
  b.setF32(7, -5.7f);
  d.draw(b);
  sd::cond::trimValves().opening[1] = -1.5f;
  GlyphCapture cap(d.sd().textures.data());
  b.setF32(25, 50.0f);  // neither ground nor cruise: nothing moves
  d.draw(b);
  EXPECT_EQ(cap.textAt(sdgeo::kCondZoneX[0], sdgeo::kCondZoneY, 0.15), "-5") << cap.dump();
  EXPECT_EQ(cap.textAt(sdgeo::kCondValveX[1], sdgeo::kCondValveY, 0.2), "-1");
  EXPECT_EQ(cap.textAt(sdgeo::kCondValveX[0], sdgeo::kCondValveY, 0.2), "200");
}

}  // namespace
