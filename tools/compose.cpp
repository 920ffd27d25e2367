#include "compose.h"

#include <algorithm>
#include <cmath>

namespace bridge {
namespace {

constexpr float kRawFull = 16384.0f;            // engine percent, gear, levers
constexpr float kRawPerPercent = 163.84f;       // 16384 = 100 %
constexpr float kHydraulicPerPercent = 200000;  // N2 % x 20 after the display's / 10000
constexpr float kOilRawPerPsi = 423.0f;
constexpr float kMachRaw = 1.0f / 4.8828871e-05f;
constexpr float kVsRawPerFps = 0.3048f * 256.0f;  // the word is m/s x 256
constexpr float kKnotsPerMs = 1.943844f;
constexpr float kHpaPerInhg = 33.8639f;
constexpr float kThsUpDegrees = 13.5f, kThsDownDegrees = 4.0f;
constexpr float kSpeedBrakeDetents[] = {0.0f, 8283.0f, 10983.0f, 13683.0f, 16383.0f};
constexpr float kSpoilersArmed = 4800.0f;
constexpr std::uint32_t kOnGround = 1u << 1, kLowHeight = 1u << 0, kStall = 1u << 2, kOverspeed = 1u << 3,
                        kLowOil = 1u << 10, kDoorsClosed = 1u << 13;
constexpr double kLowHeightFeet = 100.0;
constexpr double kRunningN2 = 20.0, kLowOilPsi = 13.0;

float f(double v) { return float(v); }

// Rounded and held within [lo, hi]; NaN reads lo.
std::uint32_t clampedInt(double v, int lo, int hi) {
  if (!(v >= lo)) return std::uint32_t(lo);
  if (v >= hi) return std::uint32_t(hi);
  return std::uint32_t(std::lround(v));
}

// Which way the display reads every signed word, against the senses of the
// aircraft state. Every sign the composition turns round is turned here and
// nowhere else.
namespace sense {

// Words 22 and 101: the standby horizon's pitch scale rises for a positive
// value, so positive is nose down.
float pitchWord(double noseUpDegrees) { return f(-noseUpDegrees); }

// Words 23 and 102: the standby horizon turns clockwise for a positive
// value, which is what a pilot sees in a left bank. (No simulator feeds a
// flight director here, so words 101 to 103 stay 0 and the bar hidden.)
float bankWord(double rightWingDownDegrees) { return f(-rightWingDownDegrees); }

// Word 64: bearing of the station clockwise from the nose, 0 < word <= 360,
// for RMI needle 1; a station dead ahead is 360, as 0 parks both needles.
float relativeBearingWord(double bearingToStation, double heading) {
  double relative = std::fmod(bearingToStation - heading, 360.0);
  if (relative <= 0.0) relative += 360.0;
  const float word = f(relative);
  return word > 0.0f ? word : 360.0f;
}

// Word 75: bearing to the station clockwise from north, as a 16-bit angle;
// RMI needle 2's head is the end the display turns to that bearing.
float bearingWord(double bearingToStation) { return f(bearingToStation * (65536.0 / 360.0)); }

// Word 163: the F/CTL page raises the elevators for a positive value.
float stickPitchWord(double stickBack) { return f(stickBack); }

// Word 164: the F/CTL page raises the right aileron for a positive value.
float stickRollWord(double stickRight) { return f(stickRight); }

// Word 213: the F/CTL page shows UP for a positive value, up to 13.5 degrees
// nose up, and DN down to 4 degrees nose down.
float pitchTrimWord(double noseUpRatio) {
  const double noseUp = std::clamp(noseUpRatio, -1.0, 1.0);
  return f(noseUp >= 0 ? noseUp * kThsUpDegrees / 49.876 : noseUp * kThsDownDegrees / 49.8);
}

}  // namespace sense

float autobrakeWord(Autobrake a) {
  switch (a) {
    case Autobrake::Rto: return 0.0f;
    case Autobrake::Off: return 1.0f;
    case Autobrake::Low: return 2.0f;
    case Autobrake::Medium: return 3.0f;
    case Autobrake::Unshown: break;
  }
  return 4.0f;  // no memo rather than a level that is not selected
}

}  // namespace

void composeBlock(const AircraftState& s, const Options& options, FlightDataBlock& b) {
  b = FlightDataBlock{};

  b.setF32(2, f(s.utcHours));
  b.setF32(3, f(s.utcMinutes));
  b.setF32(4, f(s.utcSeconds));
  b.setF32(5, f(s.elapsedSeconds));
  b.setF32(7, f(s.staticAirCelsius));
  // Total air temperature from the static one and the Mach number.
  const double tat = (s.staticAirCelsius + 273.15) * (1.0 + 0.2 * s.mach * s.mach) - 273.15;
  b.setF32(8, f(tat / 250.0));
  b.setF32(14, f(s.headingDegrees));
  b.setU32(17, s.landingLights ? 2u : 0u);
  b.setF32(22, sense::pitchWord(s.pitchNoseUpDegrees));
  b.setF32(23, sense::bankWord(s.bankRightDegrees));
  b.setF32(25, f(s.indicatedKnots));
  b.setF32(27, f(s.targetKnots * 128.0));
  b.setF32(28, f(s.mach * kMachRaw));
  b.setF32(29, f(s.altitudeFeet));
  b.setF32(30, f(s.verticalSpeedFpm / 60.0 * kVsRawPerFps));
  b.setF32(31, f(s.altimeterInHg));
  b.setF32(32, f(s.altimeterInHg * kHpaPerInhg));
  b.setF32(37, f(std::clamp(s.flapRatio, 0.0, 1.0) * options.flapsFullDegrees));
  b.setU32(39, clampedInt(s.checklistButton, 0, 255) << 24);
  b.setU32(40, clampedInt(s.systemPage, 0, 15) << 24);
  b.setF32(41, f(std::max(s.brakeLeftRatio, s.brakeRightRatio) * kRawFull));

  const bool onGround = s.weightOnWheels[0] || s.weightOnWheels[1] || s.weightOnWheels[2];
  b.setU32(48, !onGround && s.gearLeverDown ? 128u : 0u);  // on the approach: gear down in the air
  // 0.0 parks the RMI needles: word 64 only when the station is received.
  b.setF32(64, s.nav[0].received ? sense::relativeBearingWord(s.nav[0].bearingDegrees, s.headingDegrees) : 0.0f);
  b.setF32(62, s.nav[1].received ? 1.0f : 0.0f);
  b.setF32(75, sense::bearingWord(s.nav[1].bearingDegrees));

  b.setF32(104, autobrakeWord(s.autobrake));
  b.setF32(105, f(s.fuelPounds));

  bool lowOil = false;
  for (int e = 0; e < 2; ++e) {
    const EngineState& en = s.engines[std::size_t(e)];
    const int o = 50 * e;  // engine 2's words are engine 1's plus 50
    b.setF32(120 + o, f(en.fuelFlowPph));
    b.setF32(123 + o, f(en.oilPressurePsi * kOilRawPerPsi));
    b.setF32(124 + o, f(std::max(0.0, en.oilTemperatureCelsius) * 100.0));
    b.setF32(126 + o, f(en.n2Percent * kHydraulicPerPercent));
    b.setF32(129 + o, f(en.n1Percent * kRawPerPercent));
    b.setF32(130 + o, f(en.n2Percent * kRawPerPercent));
    b.setF32(141 + o, f(en.throttleRatio * kRawFull));
    b.setF32(148 + o, f(en.n2Percent));
    b.setF32(158 + o, f((en.egtCelsius + 273.15) * 1.8));  // Rankine
    lowOil = lowOil || (en.n2Percent >= kRunningN2 && en.oilPressurePsi < kLowOilPsi);
  }
  // Fuel used counts engine 1's flow word 112 and engine 2's 113.
  b.setF32(112, f(s.engines[0].fuelFlowPph));
  b.setF32(113, f(s.engines[1].fuelFlowPph));

  b.setF32(161, f(s.parkingBrakeRatio));
  b.setF32(163, sense::stickPitchWord(s.stickBackRatio));
  b.setF32(164, sense::stickRollWord(s.stickRightRatio));
  // The display only extends spoilers at its exact detents.
  const std::uint32_t level = clampedInt(s.speedBrakeRatio * 4.0, 0, 4);
  b.setF32(211, level == 0 && s.spoilersArmed ? kSpoilersArmed : kSpeedBrakeDetents[level]);
  b.setF32(213, sense::pitchTrimWord(s.pitchTrimNoseUpRatio));
  b.setF32(215, s.gearLeverDown ? kRawFull : 0.0f);
  for (int g = 0; g < 3; ++g) b.setF32(216 + g, f(s.gearDownRatio[std::size_t(g)] * kRawFull));
  b.setF32(219, f(s.heightFeet * 0.3048));

  std::uint32_t status = s.doorsOpen ? 0u : kDoorsClosed;
  if (onGround) status |= kOnGround;
  if (!onGround && s.heightFeet < kLowHeightFeet) status |= kLowHeight;
  if (s.stallWarning) status |= kStall;
  if (s.overspeedWarning) status |= kOverspeed;
  if (lowOil) status |= kLowOil;
  b.setU32(221, status);
  b.setF32(227, f(s.groundKnots / kKnotsPerMs));
}

}  // namespace bridge
