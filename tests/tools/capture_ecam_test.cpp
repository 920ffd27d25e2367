// Packets recorded from a real FlightGear, through the bridge, into the two
// ECAM screens: what the pilot reads is what the simulator sent.
#include <gtest/gtest.h>

#include <string>

#include "compose.h"
#include "flightgear.h"
#include "ecam/ewd/engine_warning_display.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "support/glyph_text.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

// Payloads as recorded (the shipped protocol's field order). The ufo with
// its engine values written by hand: N1 85.2 and 84.7, N2 92.1 and 91.8,
// EGT 1200 and 1180 deg F, fuel flow 5400 and 5350 lb/h.
const char* const kUfoEngines =
    "20,4,26,305.38,-6.68,0.4000,302.733,0.000,0.000,252.70,250.0,13206.1,0.000,29.92,0.5000,0.000,0.000,0.000,1,"
    "0.0000,0.0000,0.0000,0.000,0,1,0.0000,0.0000,0.0000,0,0,0,13480.7,252.70,0,0,0.0,85.20,92.10,1200.0,5400.0,"
    "45.00,200.0,0.0650,84.70,91.80,1180.0,5350.0,44.00,198.0,0.0650,0.00,0,150.25,0,0,0,0,0";
// The parked c172p: its first packets carry no fuel, then 64.7 lb arrive.
const char* const kC172pFirst =
    "19,59,22,0.00,34.81,0.0000,285.469,0.424,0.000,0.00,0.0,0.0,0.000,29.92,0.0000,0.000,0.000,1.000,0,0.0000,"
    "0.0000,0.0000,0.000,0,1,1.0000,1.0000,1.0000,0,0,0,0.0,0.00,0,0,0.0,0.00,0.00,0.0,0.0,0.00,0.0,0.0000,0.00,"
    "0.00,0.0,0.0,0.00,0.0,0.0000,0.00,0,0.00,0,0,0,0,0";
const char* const kC172pFuelled =
    "19,59,25,0.36,15.00,0.0000,105.365,8.871,-0.872,0.00,0.0,0.0,0.000,29.92,0.0000,0.000,0.000,1.000,0,0.0000,"
    "0.0000,0.0000,0.000,0,0,1.0000,1.0000,1.0000,0,0,0,3.5,0.00,0,0,64.7,0.00,0.00,59.3,0.0,0.00,59.3,0.0000,0.00,"
    "0.00,59.3,0.0,0.00,59.3,0.0000,0.00,0,0.00,0,0,0,0,0";
const char* const kC172pLater =
    "20,1,5,100.91,20.02,0.0045,105.456,8.733,-0.331,2.98,0.0,1.8,-0.000,29.97,0.0000,0.000,0.000,0.000,0,0.0000,"
    "0.0000,0.0000,0.000,0,0,1.0000,1.0000,1.0000,0,0,0,3.5,0.00,0,0,64.7,0.00,0.00,1438.6,6.0,49.90,62.6,0.2000,"
    "0.00,0.00,64.5,0.0,0.00,59.9,0.0000,0.00,0,150.46,0,0,0,0,0";

FlightDataBlock bridged(const char* payload) {
  flightgear::Packet p{};
  std::string error;
  EXPECT_TRUE(flightgear::parsePacket(payload, p, error)) << error;
  FlightDataBlock b;
  bridge::AircraftState state;
  flightgear::toState(p, state);
  bridge::composeBlock(state, bridge::Options{}, b);
  return b;
}

// Both ECAM screens, created as Show Gauges creates them: before the first
// datagram, on an empty block.
struct Screens {
  Screens() : ow(400, 200) {
    sd::resetModuleState();
    ow.window->setPlacement({0, 0, 200, 200, 1, A320_ECAM_ENGINE}, 1);
    ow.window->setPlacement({200, 0, 200, 200, 1, A320_ECAM_SYSTEM}, 2);
    EXPECT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_ENGINE));
    EXPECT_TRUE(ow.window->instrumentFactory(1, A320_ECAM_SYSTEM));
  }
  EngineWarningDisplay& ewd() { return *static_cast<EngineWarningDisplay*>(ow.window->instrument(0)); }
  SystemDisplay& sd() { return *static_cast<SystemDisplay*>(ow.window->instrument(1)); }
  void draw(const FlightDataBlock& b) {
    ow.window->setData(b.bytes.data());
    ASSERT_TRUE(ow.window->renderPass());
  }
  RecordingSink sink;
  OffscreenWindow ow;
};

TEST(RealCaptures, EngineReadoutsReadAsFlightGearSentThem) {
  Screens s;
  GlyphCapture cap(s.ewd().textures.data());
  s.draw(bridged(kUfoEngines));
  struct Readout {
    float x, y;
    const char* text;
  } readouts[] = {
      {-0.69f, 0.515f, "85.2"}, {-0.14f, 0.515f, "84.7"},  // N1
      {-0.73f, -0.03f, "92.1"}, {-0.11f, -0.03f, "91.8"},  // N2
      {-0.65f, 0.16f, "649"},   {-0.1f, 0.16f, "638"},     // EGT, deg C
      {-0.72f, -0.21f, "2449"}, {-0.1f, -0.21f, "2427"},   // fuel flow, kg/h
  };
  for (const Readout& r : readouts) {
    EXPECT_EQ(cap.textAt(r.x, r.y, 0.25), r.text) << r.x << ", " << r.y << "\n" << cap.dump();
    EXPECT_EQ(cap.colourAt(r.x, r.y, 0.25), 2) << r.text;
  }
}

TEST(RealCaptures, ParkedAircraftHasUsedNoFuel) {
  using namespace sdgeo;
  Screens s;
  for (const char* payload : {kC172pFirst, kC172pFirst, kC172pFuelled, kC172pLater}) s.draw(bridged(payload));
  FlightDataBlock b = bridged(kC172pLater);
  b.setU32(40, 6u << 24);  // the pilot calls up FUEL
  GlyphCapture cap(s.sd().textures.data());
  s.draw(b);
  EXPECT_EQ(cap.textAt(kFuelUsed1.x, kFuelUsed1.y, 0.2), "0000") << cap.dump();
  EXPECT_EQ(cap.textAt(kFuelUsed2.x, kFuelUsed2.y, 0.2), "0000");
  EXPECT_EQ(cap.textAt(kFuelOnBoard.x, kFuelOnBoard.y, 0.25), "29");  // 64.7 lb
}

}  // namespace
