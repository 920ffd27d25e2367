#pragma once
#include <array>

// The aircraft as any simulator describes it, in plain units with stated
// senses. Each simulator adapter fills one; compose.cpp alone turns it into
// the words of a flight data block, as docs/flight-data.md describes them.
namespace bridge {

// The autobrake selector; Unshown is a level the display has no memo for.
enum class Autobrake { Off, Low, Medium, Rto, Unshown };

struct EngineState {
  double n1Percent = 0, n2Percent = 0;
  double egtCelsius = 0;
  double fuelFlowPph = 0;  // pounds per hour
  double oilPressurePsi = 0;
  double oilTemperatureCelsius = 0;
  double throttleRatio = 0;  // 0 idle, 1 full forward
};

struct NavStation {
  bool received = false;
  double bearingDegrees = 0;  // from the aircraft to the station, clockwise from north
};

struct AircraftState {
  double utcHours = 0, utcMinutes = 0, utcSeconds = 0;  // time of day, each part on its own
  double elapsedSeconds = 0;                            // since the simulator started
  double staticAirCelsius = 0;
  double mach = 0;
  double headingDegrees = 0;     // magnetic, clockwise from north
  double pitchNoseUpDegrees = 0;
  double bankRightDegrees = 0;   // right wing down
  double indicatedKnots = 0;
  double targetKnots = 0;        // selected speed
  double altitudeFeet = 0;       // indicated, above sea level
  double verticalSpeedFpm = 0;   // climbing
  double altimeterInHg = 0;      // pressure setting
  double flapRatio = 0;          // 0 up, 1 fully extended
  double brakeLeftRatio = 0, brakeRightRatio = 0, parkingBrakeRatio = 0;  // 0 off, 1 full
  bool landingLights = false;
  double stickBackRatio = 0;     // -1 full forward, 1 full back (nose up)
  double stickRightRatio = 0;    // -1 full left, 1 full right
  double pitchTrimNoseUpRatio = 0;  // -1 full nose down, 1 full nose up
  double speedBrakeRatio = 0;    // 0 retracted, 1 full
  bool spoilersArmed = false;
  bool gearLeverDown = false;
  std::array<double, 3> gearDownRatio{};  // nose, left main, right main: 0 up, 1 down
  std::array<bool, 3> weightOnWheels{};
  double heightFeet = 0;         // above the ground
  double groundKnots = 0;
  bool stallWarning = false, overspeedWarning = false;
  double fuelPounds = 0;         // on board
  std::array<EngineState, 2> engines{};
  std::array<NavStation, 2> nav{};  // NAV1 feeds RMI needle 1, NAV2 needle 2
  int systemPage = 0;            // 0 automatic, 1 ENG ... 12 STATUS
  int checklistButton = 0;       // bit 7 pressed, bits 0 to 6 the code
  Autobrake autobrake = Autobrake::Off;
  bool doorsOpen = false;
};

}  // namespace bridge
