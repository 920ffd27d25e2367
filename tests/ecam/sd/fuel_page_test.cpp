// FUEL page: the split of the fuel on board over the five tanks, the fuel
// used since start-up and the readouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "ecam/sd/fuel_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(FuelPage, TankSplit) {
  struct Case {
    float fobKg;
    sd::fuel::Tanks tanks;
  };
  const Case cases[] = {
      {5000.0f, {670, 886, 1886, 886, 670}},
      {2000.0f, {670, 0, 660, 0, 670}},  // the inners would hold -114
      {1000.0f, {500, 0, 0, 0, 500}},
      {2345.0f, {670, 1, 1001, 1, 670}},  // last kilogram in the inners
      {2343.0f, {670, 0, 1003, 0, 670}},  // then all of it in the centre
      {2340.0f, {670, 0, 1000, 0, 670}},
      {1341.0f, {670, 0, 1, 0, 670}},
      {1340.0f, {670, 0, 0, 0, 670}},  // the centre empties, then the outers
      {0.0f, {0, 0, 0, 0, 0}},
      {19150.0f, {670, 5602, 6602, 5602, 670}},
      {NAN, {0, 0, 0, 0, 0}},
      {-100.0f, {-50, 0, 0, 0, -50}},
      {1e30f, {670, kMax - 333, kMax, kMax - 333, 670}},
      {-1e30f, {kMin, 0, 0, 0, kMin}},
      {INFINITY, {670, kMax - 333, kMax, kMax - 333, 670}},
  };
  for (const Case& c : cases) {
    const sd::fuel::Tanks t = sd::fuel::splitTanks(c.fobKg);
    SCOPED_TRACE(testing::Message() << "FOB " << c.fobKg);
    EXPECT_EQ(t.leftOuter, c.tanks.leftOuter);
    EXPECT_EQ(t.leftInner, c.tanks.leftInner);
    EXPECT_EQ(t.centre, c.tanks.centre);
    EXPECT_EQ(t.rightInner, c.tanks.rightInner);
    EXPECT_EQ(t.rightOuter, c.tanks.rightOuter);
  }
}

TEST(FuelPage, FuelUsedPerEngine) {
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(19150, 19150.0f), 0);
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(19150, 18150.0f), 500);
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(19150, 18149.5f), 500);
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(0, 1000.0f), -500);  // refuelled since start
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(0, NAN), 0);
  EXPECT_EQ(sd::fuel::fuelUsedPerEngine(0, -1e30f), kMax);
}

TEST(FuelPage, Readouts) {
  using namespace sdgeo;
  struct Case {
    const char* name;
    std::int32_t initialKg;
    float fobKg;
    const char *used, *fob, *leftOuter, *leftInner, *centre, *rightInner, *rightOuter;
  };
  const Case cases[] = {
      {"nothing burnt yet", 19150, 19150.2f, "0000", "19150", "670", "5602", "6602", "5602", "670"},
      {"1000 kg burnt", 6001, 5000.1f, "0500", "5000", "670", "886", "1886", "886", "670"},
      {"centre empty", 6001, 2000.1f, "2000", "2000", "670", "0", "660", "0", "670"},
      {"more than the cells hold: lowest digits", 250000, 123456.3f, "3271", "23456", "670", "0371", "1371",
       "0371", "670"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageDisplay d(200, 6, SdPage::Fuel);
    sd::frameState().initialFuelKg = c.initialKg;
    sd::frameState().initialFuelKnown = true;
    FlightDataBlock b;
    b.setF32(105, c.fobKg / sd::kKgPerLb);
    GlyphCapture cap(d.slots());
    d.draw(b);
    EXPECT_EQ(cap.textAt(kFuelUsed1.x, kFuelUsed1.y, 0.2), c.used) << cap.dump();
    EXPECT_EQ(cap.textAt(kFuelUsed2.x, kFuelUsed2.y, 0.2), c.used);
    EXPECT_EQ(cap.textAt(kFuelOnBoard.x, kFuelOnBoard.y, 0.25), c.fob);
    EXPECT_EQ(cap.textAt(kFuelLeftOuterX, kFuelOuterY, 0.2), c.leftOuter);
    EXPECT_EQ(cap.textAt(kFuelLeftInnerX, kFuelInnerY, 0.2), c.leftInner);
    EXPECT_EQ(cap.textAt(kFuelCentreX, kFuelInnerY, 0.2), c.centre);
    EXPECT_EQ(cap.textAt(kFuelRightInnerX, kFuelInnerY, 0.2), c.rightInner);
    EXPECT_EQ(cap.textAt(kFuelRightOuterX, kFuelOuterY, 0.2), c.rightOuter);
    EXPECT_EQ(cap.colourAt(kFuelCentreX, kFuelInnerY, 0.2), 2);
    EXPECT_EQ(cap.colourAt(kFuelUsed1.x, kFuelUsed1.y, 0.2), 2);
  }
}

// As in every run: the display is created before the first datagram, the
// watchdog keeps the block empty, then the simulator sends 12000 lb on
// board and burns from there. FUEL and CRUISE count from the 12000 lb, and
// from the new quantity after refuelling.
TEST(FuelPage, FuelUsedCountsFromTheFirstFuelAfterStartUp) {
  using namespace sdgeo;
  PageDisplay d(200);
  ASSERT_FALSE(sd::frameState().initialFuelKnown);
  FlightDataBlock b;
  auto shown = [&](std::uint32_t page, float fuelLb) {
    b.setU32(40, page << 24);
    b.setF32(105, fuelLb);
    GlyphCapture cap(d.slots());
    d.draw(b);
    const bool fuel = page == 6;
    return cap.textAt(fuel ? kFuelUsed1.x : kCruiseFuelUsed1.x, fuel ? kFuelUsed1.y : kCruiseFuelUsed1.y, 0.25) +
           "|" + cap.textAt(fuel ? kFuelUsed2.x : -0.1, fuel ? kFuelUsed2.y : kCruiseFuelUsedY, 0.3);
  };
  EXPECT_EQ(shown(6, 0.0f), "|");  // no fuel yet: nothing to count from
  EXPECT_EQ(shown(6, NAN), "|");
  EXPECT_EQ(shown(6, 12000.0f), "0000|0000");
  EXPECT_EQ(shown(6, 11000.0f), "0226|0226");  // 1000 lb is 453.6 kg, half per engine
  // The watchdog empties the block between two datagrams; the start stays.
  shown(6, 0.0f);
  EXPECT_EQ(shown(6, 10000.0f), "0453|0453");
  EXPECT_EQ(shown(6, 20000.0f), "0000|0000");  // refuelled: a fuel used below 0 would be false
  EXPECT_EQ(shown(6, 19000.0f), "0226|0226");
  EXPECT_EQ(shown(6, 8000.0f), "2721|2721");
  // CRUISE is reached through the automatic page only.
  sd::frameState().automaticPage = sd::kAutoCruise;
  b.setF32(25, 250.0f);
  EXPECT_EQ(shown(0, 8000.0f), "2721|2721");
}

}  // namespace
