// The one composition, against the aircraft state: the words and bits the
// display reads, whichever simulator filled the state.
#include "compose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

namespace {

using bridge::AircraftState;
using Change = std::function<void(AircraftState&)>;

AircraftState cruise() {
  AircraftState s;
  s.utcHours = 14, s.utcMinutes = 5, s.utcSeconds = 30, s.elapsedSeconds = 1234.5;
  s.staticAirCelsius = -40, s.mach = 0.78, s.headingDegrees = 275.5;
  s.pitchNoseUpDegrees = 2.5, s.bankRightDegrees = -10;
  s.indicatedKnots = 280, s.targetKnots = 280, s.altitudeFeet = 35000, s.altimeterInHg = 29.92;
  s.heightFeet = 34000, s.groundKnots = 450, s.fuelPounds = 20000;
  s.engines[0] = {85, 90, 500, 2600, 60, 100, 0.85};
  s.engines[1] = {84, 89, 490, 2500, 58, 99, 0.84};
  s.nav[0] = {true, 300};
  s.nav[1] = {true, 90};
  return s;
}

FlightDataBlock composed(const Change& change) {
  AircraftState s = cruise();
  if (change) change(s);
  FlightDataBlock b;
  bridge::composeBlock(s, {}, b);
  return b;
}

TEST(Compose, StateToWords) {
  using A = bridge::Autobrake;
  struct {
    Change change;
    int word;
    float value;
  } floats[] = {
      {{}, 2, 14},
      {{}, 3, 5},
      {{}, 4, 30},
      {{}, 5, 1234.5f},
      {{}, 7, -40},
      {{}, 8, -11.630f / 250.0f},  // total air -11.6 C from static -40 C at Mach 0.78
      {[](AircraftState& s) { s.mach = 0; }, 8, -40.0f / 250.0f},
      {{}, 14, 275.5f},
      // The standby horizon's sense: positive nose down, positive left wing down.
      {{}, 22, -2.5f},
      {{}, 23, 10},
      {{}, 25, 280},
      {{}, 27, 280 * 128.0f},
      {[](AircraftState& s) { s.mach = 0.6; }, 28, 12288},  // the upper counter reads 0.6
      {{}, 29, 35000},
      {[](AircraftState& s) { s.verticalSpeedFpm = 1500; }, 30, 1950.72f},
      {{}, 31, 29.92f},
      {{}, 32, 1013.21f},
      {[](AircraftState& s) { s.flapRatio = 0.5; }, 37, 20},
      {[](AircraftState& s) { s.flapRatio = 1.5; }, 37, 40},
      {[](AircraftState& s) { s.flapRatio = -0.2; }, 37, 0},
      {[](AircraftState& s) { s.brakeLeftRatio = 0.5, s.brakeRightRatio = 0.25; }, 41, 8192},
      // Needle 1 takes the station's bearing from the nose (heading 275.5).
      {{}, 64, 24.5f},
      {[](AircraftState& s) { s.nav[0].bearingDegrees = 0; }, 64, 84.5f},
      {[](AircraftState& s) { s.nav[0].bearingDegrees = 275.5; }, 64, 360},  // dead ahead, not parked
      {[](AircraftState& s) { s.nav[0].bearingDegrees = 275.0; }, 64, 359.5f},
      // A hair right of the nose is still dead ahead once a float.
      {[](AircraftState& s) { s.nav[0].bearingDegrees = 1e-300, s.headingDegrees = 0; }, 64, 360},
      {[](AircraftState& s) { s.nav[0].bearingDegrees = 359.99, s.headingDegrees = 0; }, 64, 359.99f},
      {[](AircraftState& s) { s.nav[0].received = false; }, 64, 0},
      {{}, 62, 1},
      {[](AircraftState& s) { s.nav[1].received = false; }, 62, 0},
      {{}, 75, 16384},
      {{}, 104, 1},  // OFF
      {[](AircraftState& s) { s.autobrake = A::Low; }, 104, 2},
      {[](AircraftState& s) { s.autobrake = A::Medium; }, 104, 3},
      {[](AircraftState& s) { s.autobrake = A::Rto; }, 104, 0},
      {[](AircraftState& s) { s.autobrake = A::Unshown; }, 104, 4},  // no memo
      {{}, 105, 20000},
      {{}, 112, 2600},
      {{}, 113, 2500},
      {{}, 120, 2600},
      {{}, 170, 2500},
      {{}, 123, 60 * 423.0f},
      {{}, 124, 10000},
      {[](AircraftState& s) { s.engines[0].oilTemperatureCelsius = -5; }, 124, 0},
      {{}, 126, 18000000},
      {{}, 129, 85 * 163.84f},
      {{}, 130, 90 * 163.84f},
      {{}, 179, 84 * 163.84f},
      {{}, 141, 0.85f * 16384},
      {{}, 148, 90},
      {{}, 158, 1391.67f},  // 500 C in Rankine
      {{}, 208, 1373.67f},
      {[](AircraftState& s) { s.parkingBrakeRatio = 1; }, 161, 1},
      {[](AircraftState& s) { s.stickBackRatio = 0.25; }, 163, 0.25f},  // elevators up
      {[](AircraftState& s) { s.stickRightRatio = 0.5; }, 164, 0.5f},
      {{}, 211, 0},
      {[](AircraftState& s) { s.spoilersArmed = true; }, 211, 4800},
      {[](AircraftState& s) { s.speedBrakeRatio = 0.25; }, 211, 8283},
      {[](AircraftState& s) { s.speedBrakeRatio = 0.5, s.spoilersArmed = true; }, 211, 10983},
      {[](AircraftState& s) { s.speedBrakeRatio = 0.7; }, 211, 13683},
      {[](AircraftState& s) { s.speedBrakeRatio = 1; }, 211, 16383},
      {[](AircraftState& s) { s.pitchTrimNoseUpRatio = 1; }, 213, 13.5f / 49.876f},  // 13.5 UP
      {[](AircraftState& s) { s.pitchTrimNoseUpRatio = -1; }, 213, -4.0f / 49.8f},
      {[](AircraftState& s) { s.pitchTrimNoseUpRatio = -5; }, 213, -4.0f / 49.8f},
      {{}, 215, 0},
      {[](AircraftState& s) { s.gearLeverDown = true; }, 215, 16384},
      {[](AircraftState& s) { s.gearDownRatio[0] = 1; }, 216, 16384},
      {[](AircraftState& s) { s.gearDownRatio[1] = 0.5; }, 217, 8192},
      {[](AircraftState& s) { s.gearDownRatio[2] = 0.25; }, 218, 4096},
      {[](AircraftState& s) { s.heightFeet = 1000; }, 219, 304.8f},
      {[](AircraftState& s) { s.groundKnots = 100; }, 227, 51.44445f},
  };
  for (std::size_t i = 0; i < std::size(floats); ++i) {
    const auto& c = floats[i];
    EXPECT_NEAR(composed(c.change).f32(c.word), c.value, std::fabs(c.value) * 1e-4f + 1e-4f)
        << "word " << c.word << ", case " << i;
  }

  struct {
    Change change;
    int word;
    std::uint32_t bits;
  } words[] = {
      {{}, 17, 0},
      {[](AircraftState& s) { s.landingLights = true; }, 17, 2},
      {[](AircraftState& s) { s.checklistButton = 0x90; }, 39, 0x90000000u},
      {[](AircraftState& s) { s.checklistButton = 300; }, 39, 0xff000000u},
      {{}, 40, 0},
      {[](AircraftState& s) { s.systemPage = 12; }, 40, 0x0c000000u},
      {[](AircraftState& s) { s.systemPage = 99; }, 40, 0x0f000000u},
      {[](AircraftState& s) { s.systemPage = -3; }, 40, 0},
      {{}, 48, 0},
      {[](AircraftState& s) { s.gearLeverDown = true; }, 48, 128},  // approach: gear down in the air
      {[](AircraftState& s) { s.gearLeverDown = s.weightOnWheels[1] = true; }, 48, 0},
      {{}, 221, 0x2000},  // airborne, doors closed
      {[](AircraftState& s) { s.doorsOpen = true; }, 221, 0},
      {[](AircraftState& s) { s.weightOnWheels[0] = true; }, 221, 0x2002},
      {[](AircraftState& s) { s.weightOnWheels[2] = true, s.heightFeet = 0; }, 221, 0x2002},
      {[](AircraftState& s) { s.heightFeet = 50; }, 221, 0x2001},  // low, in the air
      {[](AircraftState& s) { s.stallWarning = true; }, 221, 0x2004},
      {[](AircraftState& s) { s.overspeedWarning = true; }, 221, 0x2008},
      {[](AircraftState& s) { s.engines[1].oilPressurePsi = 5; }, 221, 0x2400},  // low oil, engine running
      {[](AircraftState& s) { s.engines[1].oilPressurePsi = 5, s.engines[1].n2Percent = 10; }, 221, 0x2000},
  };
  for (std::size_t i = 0; i < std::size(words); ++i)
    EXPECT_EQ(composed(words[i].change).u32(words[i].word), words[i].bits) << "word " << words[i].word << ", case " << i;
}

// Whoever writes a sender for another simulator reads docs/flight-data.md:
// every word the bridges send must be there.
TEST(Compose, EveryWordSentIsDocumented) {
  std::ifstream in(std::string(A320_SOURCE_DIR) + "/docs/flight-data.md");
  ASSERT_TRUE(in) << "docs/flight-data.md is missing";
  std::ostringstream text;
  text << in.rdbuf();
  std::set<int> documented;
  const std::string doc = text.str();
  const std::regex row(R"(\n\| (\d+) \|)");
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), row); it != std::sregex_iterator(); ++it)
    documented.insert(std::stoi((*it)[1]));

  // A state where everything is on, so that every word written is not 0.
  FlightDataBlock b = composed([](AircraftState& s) {
    s.verticalSpeedFpm = 500, s.flapRatio = 0.5, s.brakeLeftRatio = 0.5, s.parkingBrakeRatio = 1;
    s.landingLights = s.spoilersArmed = s.gearLeverDown = s.stallWarning = true;
    s.stickBackRatio = s.stickRightRatio = s.pitchTrimNoseUpRatio = 0.2;
    s.gearDownRatio = {1, 1, 1};
    s.systemPage = 3, s.checklistButton = 0x90, s.autobrake = bridge::Autobrake::Low;
  });
  int written = 0;
  for (int w = 0; w < kFlightDataWords; ++w)
    if (b.u32(w) != 0) {
      ++written;
      EXPECT_TRUE(documented.count(w)) << "word " << w << " is sent but not in docs/flight-data.md";
    }
  EXPECT_GT(written, 50);
}

}  // namespace
