// CRUISE page: the cabin temperature model over many draws, ground
// elevation, and the values as they are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ecam/sd/cruise_page.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;

namespace {

// CRUISE has no page number: the automatic page is put on it, and the
// blocks keep every rule that would move it away from firing.
struct CruiseDisplay : sdtest::PageDisplay {
  explicit CruiseDisplay(int size = 200) : PageDisplay(size, 0, SdPage::Cruise) {
    sd::frameState().automaticPage = sd::kAutoCruise;
    sd::frameState().initialFuelKg = sd::kDefaultInitialFuelKg;
    sd::frameState().initialFuelKnown = true;
  }
};

// On ground without sending the display to DOOR: engine 1 alone running.
void onGround(FlightDataBlock& b) {
  b.setU32(221, 2);
  b.setF32(130, 30.0f * 163.84f);
}

const float* zones() { return sd::cabinState().zoneTemperature; }

TEST(CruisePage, SeedsFromSatOnGroundThenWarmsToTargets) {
  CruiseDisplay d;
  FlightDataBlock b;
  b.setF32(7, 15.7f);
  d.draw(b);
  EXPECT_EQ(zones()[0], 15.0f);
  EXPECT_EQ(zones()[1], 15.0f);
  EXPECT_EQ(zones()[2], 15.0f);
  EXPECT_FALSE(sd::cabinState().seed);

  b.setF32(7, -30.0f);  // no second seeding
  d.draw(b, 100);
  EXPECT_NEAR(zones()[0], 15.9f, 1e-3);
  EXPECT_NEAR(zones()[1], 15.8f, 1e-3);
  EXPECT_NEAR(zones()[2], 15.8f, 1e-3);

  d.draw(b, 700);  // 800 draws after seeding: zone 1 is at its target
  EXPECT_EQ(zones()[0], 22.0f);
  EXPECT_NEAR(zones()[1], 21.4f, 2e-3);
  {
    GlyphCapture cap(d.slots());
    d.draw(b);
    EXPECT_EQ(cap.textAt(sdgeo::kCruiseZoneX[0], sdgeo::kCruiseZoneY, 0.15), "22") << cap.dump();
    EXPECT_EQ(cap.textAt(sdgeo::kCruiseZoneX[1], sdgeo::kCruiseZoneY, 0.15), "21");
    EXPECT_EQ(cap.textAt(sdgeo::kCruiseZoneX[2], sdgeo::kCruiseZoneY, 0.15), "21");
    EXPECT_EQ(cap.colourAt(sdgeo::kCruiseZoneX[0], sdgeo::kCruiseZoneY, 0.15), 2);
  }
  d.draw(b, 1200);
  EXPECT_EQ(zones()[0], 22.0f);
  EXPECT_EQ(zones()[1], 24.0f);
  EXPECT_EQ(zones()[2], 23.0f);
}

TEST(CruisePage, FirstDrawAboveTenKnotsNeverSeeds) {
  CruiseDisplay d;
  FlightDataBlock b;
  b.setF32(7, -40.0f);
  b.setF32(25, 10.0f);
  d.draw(b);
  EXPECT_EQ(zones()[0], 18.0f);
  EXPECT_EQ(zones()[1], 19.0f);
  EXPECT_EQ(zones()[2], 20.0f);
  b.setF32(25, 0.0f);
  d.draw(b);  // warms from 18, 19, 20 instead of taking the SAT
  EXPECT_FLOAT_EQ(zones()[0], 18.009f);
  EXPECT_FLOAT_EQ(zones()[1], 19.008f);
}

// In cruise the zones cool until zone 1 is four whole degrees short of its
// target, reheat to it, and start cooling again.
TEST(CruisePage, CruiseCoolsThenReheatsToTargets) {
  sd::CabinState c;
  c.seed = false;
  for (int i = 0; i < 3; ++i) c.zoneTemperature[i] = float(c.zoneTarget[i]);
  const double height = sd::cruise::heightAboveGroundM(35000.0f, 0);
  int heatingFrom = 0, heatingTo = 0;
  float zone1BeforeHeating = 0.0f;
  for (int draw = 1; draw <= 4000 && !heatingTo; ++draw) {
    const float before = c.zoneTemperature[0];
    const bool was = c.heating;
    sd::cruise::stepCabin(c, 250.0f, -50.0f, height);
    if (c.heating && !was) {
      heatingFrom = draw;
      zone1BeforeHeating = before;
    }
    if (was && !c.heating) heatingTo = draw;
  }
  // 22 - 0.0012 per draw falls below 19 after 2500 draws.
  EXPECT_NEAR(heatingFrom, 2502, 2);
  EXPECT_LT(zone1BeforeHeating, 19.0f);
  EXPECT_GE(zone1BeforeHeating, 18.99f);
  // Back up by 0.008 - 0.0012 per draw: three degrees in about 441 draws.
  EXPECT_NEAR(heatingTo - heatingFrom, 441, 3);
  EXPECT_EQ(c.zoneTemperature[0], 22.0f);
  EXPECT_EQ(c.zoneTemperature[1], 24.0f);  // at their targets, never above
  EXPECT_EQ(c.zoneTemperature[2], 23.0f);
  sd::cruise::stepCabin(c, 250.0f, -50.0f, height);
  EXPECT_FALSE(c.heating);
  EXPECT_FLOAT_EQ(c.zoneTemperature[0], 22.0f - 0.0012f);
  EXPECT_FLOAT_EQ(c.zoneTemperature[1], 24.0f - 0.001f);
}

TEST(CruisePage, NoCruiseCoolingLowOrSlow) {
  struct Case {
    float speed;
    double height;
  };
  const Case cases[] = {{100.0f, 5000.0}, {250.0f, 3000.0}, {250.0f, NAN}, {NAN, 5000.0}};
  for (const Case& k : cases) {
    sd::CabinState c;
    c.seed = false;
    c.zoneTemperature[0] = 10.0f;  // far below its target: would reheat
    sd::cruise::stepCabin(c, k.speed, 0.0f, k.height);
    EXPECT_EQ(c.zoneTemperature[0], 10.0f) << k.speed << " kt " << k.height << " m";
    EXPECT_FALSE(c.heating);
  }
}

TEST(CruisePage, HeightAboveGroundElevation) {
  // 40001 ft over a field at 0: the altitude counts up to 40000 ft only.
  EXPECT_NEAR(sd::cruise::heightAboveGroundM(40000.0f, 0), 12192.45, 0.01);
  EXPECT_NEAR(sd::cruise::heightAboveGroundM(45000.0f, 0), 12192.45, 0.01);
  EXPECT_NEAR(sd::cruise::heightAboveGroundM(10000.0f, 5000), 1524.323, 1e-3);
  EXPECT_NEAR(sd::cruise::heightAboveGroundM(0.0f, std::numeric_limits<std::int32_t>::min()), 6.54561e8, 1e3);
  EXPECT_TRUE(std::isnan(sd::cruise::heightAboveGroundM(NAN, 0)));
}

TEST(CruisePage, GroundElevationIsStoredOnlyOnGround) {
  CruiseDisplay d;
  FlightDataBlock b;
  onGround(b);
  b.setF32(29, 45000.0f);
  d.draw(b);
  EXPECT_EQ(sd::cabinState().groundElevationFt, 45000);
  b.setU32(221, ~2u);  // every bit but the ground bit
  b.setF32(29, 1200.0f);
  d.draw(b);
  EXPECT_EQ(sd::cabinState().groundElevationFt, 45000);
  onGround(b);
  b.setF32(29, -1e30f);
  d.draw(b);
  EXPECT_EQ(sd::cabinState().groundElevationFt, std::numeric_limits<std::int32_t>::min());
}

TEST(CruisePage, DerivedEngineValues) {
  EXPECT_EQ(sd::cruise::fuelUsedPerEngine(19150, 0.0f), 9575);
  EXPECT_EQ(sd::cruise::fuelUsedPerEngine(19150, 19150.0f / 0.453597f), 0);
  EXPECT_EQ(sd::cruise::fuelUsedPerEngine(0, 1000.0f), -226);  // refuelled since start
  EXPECT_EQ(sd::cruise::fuelUsedPerEngine(19150, NAN), 0);

  EXPECT_NEAR(sd::cruise::oilQuantity(16.0f / 0.0023640662f), 12.0f, 1e-4);
  EXPECT_EQ(sd::cruise::oilQuantity(0.0f), 0.0f);
  EXPECT_TRUE(std::isnan(sd::cruise::oilQuantity(-1.0f)));

  EXPECT_NEAR(sd::cruise::vibration(15000.0f), 2.3f, 1e-5);
  EXPECT_NEAR(sd::cruise::vibration(15300.0f), 1.967f, 1e-3);  // already above 15.3 in floats
  EXPECT_NEAR(sd::cruise::vibration(16000.0f), 2.0344f, 1e-4);

  struct Column {
    double value;
    float x;
  };
  const Column columns[] = {{-5, -0.083f}, {99, -0.083f},  {99.5, -0.036f},  {100, -0.036f},
                            {999, -0.036f}, {1000, -0.001f}, {NAN, -0.083f}, {1e30, -0.001f}};
  for (const Column& c : columns) EXPECT_EQ(sd::cruise::engine2X(c.value), c.x) << c.value;
}

TEST(CruisePage, Readouts) {
  using namespace sdgeo;
  struct Case {
    const char* name;
    float fuelUsedKg, oilPsi, verticalSpeed, cabinAltWord, n1;
    const char *fuel, *oil, *vsSign, *vs, *cabinAlt, *vib;
    float engine2FuelX;
  };
  const Case cases[] = {
      {"small values", 50.25f, 16.2f, -1.4f, 1000, 16000, "50", "12", "-", "0001", "0656", "2.03", -0.083f},
      {"level cabin", 250.25f, 100.5f, 0, -1000, 0, "250", "30", "+", "0000", "0656", "0.50", -0.036f},
      {"long flight", 1500.25f, 0, 650.9f, 20000, 15000, "1500", "0", "+", "0650", "3123", "2.30", -0.001f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CruiseDisplay d;
    FlightDataBlock b;
    b.setF32(25, 250.0f);
    b.setF32(105, (19150.0f - 2.0f * c.fuelUsedKg) / 0.453597f);
    b.setF32(123, c.oilPsi / 0.0023640662f);
    b.setF32(173, c.oilPsi / 0.0023640662f);
    b.setF32(30, c.verticalSpeed / 0.1537875f);
    b.setF32(219, c.cabinAltWord);
    b.setF32(129, c.n1);
    b.setF32(179, c.n1);
    GlyphCapture cap(d.slots());
    d.draw(b);
    EXPECT_EQ(cap.textAt(kCruiseFuelUsed1.x, kCruiseFuelUsed1.y, 0.25), c.fuel) << cap.dump();
    EXPECT_EQ(cap.textAt(c.engine2FuelX, kCruiseFuelUsedY, 0.25), c.fuel);
    EXPECT_EQ(cap.textAt(kCruiseOil1.x, kCruiseOil1.y, 0.25), c.oil);
    EXPECT_EQ(cap.textAt(sd::cruise::engine2X(std::sqrt(c.oilPsi) * 3.0), kCruiseOilY, 0.25), c.oil);
    EXPECT_EQ(cap.textAt(kCruiseVsSign.x, kCruiseVsSign.y, 0.03), c.vsSign);
    EXPECT_EQ(cap.textAt(kCruiseVs.x, kCruiseVs.y, 0.25), c.vs);
    EXPECT_EQ(cap.textAt(kCruiseCabAlt.x, kCruiseCabAlt.y, 0.25), c.cabinAlt);
    EXPECT_EQ(cap.textAt(kCruiseVib1.x, kCruiseVib1.y, 0.2), c.vib);
    EXPECT_EQ(cap.textAt(kCruiseVib2.x, kCruiseVib2.y, 0.2), c.vib);
    EXPECT_EQ(cap.textAt(kCruiseLdgElevMode.x, kCruiseLdgElevMode.y, 0.3), "AUTO");
    EXPECT_EQ(cap.textAt(kCruiseLdgElev.x, kCruiseLdgElev.y, 0.25), "500");
    EXPECT_EQ(cap.colourAt(kCruiseVs.x, kCruiseVs.y, 0.25), 2);
  }
}

TEST(CruisePage, ZoneTemperaturesShowTheirMagnitude) {
  CruiseDisplay d;
  FlightDataBlock b;
  b.setF32(7, -20.5f);
  GlyphCapture cap(d.slots());
  d.draw(b);
  EXPECT_EQ(zones()[0], -20.0f);
  EXPECT_EQ(cap.textAt(sdgeo::kCruiseZoneX[0], sdgeo::kCruiseZoneY, 0.15), "20") << cap.dump();
}

}  // namespace
