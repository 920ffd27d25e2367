#include "bridge.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

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

#define F(field, name, type, format, property) FieldSpec{field, name, type, format, property}
const std::array<FieldSpec, kFieldCount> kFields = {{
    F(UtcHour, "utc-hour", "int", "%d", "/sim/time/utc/hour"),
    F(UtcMinute, "utc-minute", "int", "%d", "/sim/time/utc/minute"),
    F(UtcSecond, "utc-second", "int", "%d", "/sim/time/utc/second"),
    F(Elapsed, "elapsed", "double", "%.2f", "/sim/time/elapsed-sec"),
    F(Sat, "sat", "float", "%.2f", "/environment/temperature-degc"),
    F(Mach, "mach", "float", "%.4f", "/velocities/mach"),
    F(Heading, "heading", "float", "%.3f", "/orientation/heading-magnetic-deg"),
    F(Pitch, "pitch", "float", "%.3f", "/orientation/pitch-deg"),
    F(Roll, "roll", "float", "%.3f", "/orientation/roll-deg"),
    F(Ias, "ias", "float", "%.2f", "/velocities/airspeed-kt"),
    F(TargetSpeed, "target-speed", "float", "%.1f", "/autopilot/settings/target-speed-kt"),
    F(Altitude, "altitude", "float", "%.1f", "/instrumentation/altimeter/indicated-altitude-ft"),
    F(VerticalSpeedFps, "vertical-speed", "float", "%.3f", "/velocities/vertical-speed-fps"),
    F(SettingInhg, "setting-inhg", "float", "%.2f", "/instrumentation/altimeter/setting-inhg"),
    F(FlapNorm, "flaps", "float", "%.4f", "/surface-positions/flap-pos-norm"),
    F(BrakeLeft, "brake-left", "float", "%.3f", "/controls/gear/brake-left"),
    F(BrakeRight, "brake-right", "float", "%.3f", "/controls/gear/brake-right"),
    F(ParkingBrake, "parking-brake", "float", "%.3f", "/controls/gear/brake-parking"),
    F(LandingLights, "landing-lights", "bool", "%d", "/controls/lighting/landing-lights"),
    F(Elevator, "elevator", "float", "%.4f", "/controls/flight/elevator"),
    F(Aileron, "aileron", "float", "%.4f", "/controls/flight/aileron"),
    F(ElevatorTrim, "elevator-trim", "float", "%.4f", "/controls/flight/elevator-trim"),
    F(SpeedBrake, "speedbrake", "float", "%.3f", "/controls/flight/speedbrake"),
    F(SpoilersArmed, "spoilers-armed", "bool", "%d", "/controls/flight/ground-spoilers-armed"),
    F(GearDown, "gear-down", "bool", "%d", "/controls/gear/gear-down"),
    F(Gear0, "gear0-position", "float", "%.4f", "/gear/gear[0]/position-norm"),
    F(Gear1, "gear1-position", "float", "%.4f", "/gear/gear[1]/position-norm"),
    F(Gear2, "gear2-position", "float", "%.4f", "/gear/gear[2]/position-norm"),
    F(Wow0, "gear0-wow", "bool", "%d", "/gear/gear[0]/wow"),
    F(Wow1, "gear1-wow", "bool", "%d", "/gear/gear[1]/wow"),
    F(Wow2, "gear2-wow", "bool", "%d", "/gear/gear[2]/wow"),
    F(Agl, "height-agl", "float", "%.1f", "/position/altitude-agl-ft"),
    F(GroundSpeed, "groundspeed", "float", "%.2f", "/velocities/groundspeed-kt"),
    F(Stall, "stall-warning", "bool", "%d", "/sim/alarms/stall-warning"),
    F(Overspeed, "overspeed", "bool", "%d", "/sim/alarms/overspeed-alarm"),
    F(Fuel, "fuel", "float", "%.1f", "/consumables/fuel/total-fuel-lbs"),
    F(N1Left, "n1-left", "float", "%.2f", "/engines/engine[0]/n1"),
    F(N2Left, "n2-left", "float", "%.2f", "/engines/engine[0]/n2"),
    F(EgtLeft, "egt-left", "float", "%.1f", "/engines/engine[0]/egt-degf"),
    F(FuelFlowLeft, "fuel-flow-left", "float", "%.1f", "/engines/engine[0]/fuel-flow_pph"),
    F(OilPressureLeft, "oil-pressure-left", "float", "%.2f", "/engines/engine[0]/oil-pressure-psi"),
    F(OilTemperatureLeft, "oil-temperature-left", "float", "%.1f", "/engines/engine[0]/oil-temperature-degf"),
    F(ThrottleLeft, "throttle-left", "float", "%.4f", "/controls/engines/engine[0]/throttle"),
    F(N1Right, "n1-right", "float", "%.2f", "/engines/engine[1]/n1"),
    F(N2Right, "n2-right", "float", "%.2f", "/engines/engine[1]/n2"),
    F(EgtRight, "egt-right", "float", "%.1f", "/engines/engine[1]/egt-degf"),
    F(FuelFlowRight, "fuel-flow-right", "float", "%.1f", "/engines/engine[1]/fuel-flow_pph"),
    F(OilPressureRight, "oil-pressure-right", "float", "%.2f", "/engines/engine[1]/oil-pressure-psi"),
    F(OilTemperatureRight, "oil-temperature-right", "float", "%.1f", "/engines/engine[1]/oil-temperature-degf"),
    F(ThrottleRight, "throttle-right", "float", "%.4f", "/controls/engines/engine[1]/throttle"),
    F(Nav1Bearing, "nav1-bearing", "float", "%.2f", "/instrumentation/nav[0]/heading-deg"),
    F(Nav1InRange, "nav1-in-range", "bool", "%d", "/instrumentation/nav[0]/in-range"),
    F(Nav2Bearing, "nav2-bearing", "float", "%.2f", "/instrumentation/nav[1]/heading-deg"),
    F(Nav2InRange, "nav2-in-range", "bool", "%d", "/instrumentation/nav[1]/in-range"),
    // Not in FlightGear itself: an aircraft's own script may set them.
    F(SdPageSelect, "sd-page", "int", "%d", "/instrumentation/a320-display/sd-page"),
    F(ChecklistButton, "checklist-button", "int", "%d", "/instrumentation/a320-display/checklist-button"),
    F(Autobrake, "autobrake", "int", "%d", "/instrumentation/a320-display/autobrake"),
    F(DoorsOpen, "doors-open", "bool", "%d", "/instrumentation/a320-display/doors-open"),
}};
#undef F

float f(double v) { return float(v); }  // inputs are bounded by kMaxMagnitude

// Which way the display reads every signed word the bridge sends, against
// which way FlightGear counts the property it comes from. Every sign the
// composition turns round is turned here and nowhere else.
namespace sense {

// Words 22 and 101: the standby horizon's pitch scale rises for a positive
// value, so positive is nose down. FlightGear's pitch is positive nose up.
float pitchWord(double noseUpDegrees) { return f(-noseUpDegrees); }

// Words 23 and 102: the standby horizon turns clockwise for a positive
// value, which is what a pilot sees in a left bank. FlightGear's roll is
// positive right wing down. (FlightGear has no flight director of its own,
// so words 101 to 103 stay 0 and the command bar stays hidden.)
float bankWord(double rightWingDownDegrees) { return f(-rightWingDownDegrees); }

// Word 64: bearing of the station clockwise from the nose, 0 < word <= 360,
// for RMI needle 1; a station dead ahead is 360, as 0 parks both needles.
// FlightGear's nav heading-deg is the bearing from the aircraft to the
// station clockwise from north.
float relativeBearingWord(double bearingToStation, double heading) {
  double relative = std::fmod(bearingToStation - heading, 360.0);
  if (relative <= 0.0) relative += 360.0;
  const float word = f(relative);
  return word > 0.0f ? word : 360.0f;
}

// Word 75: bearing to the station clockwise from north, as a 16-bit angle;
// RMI needle 2's head is the end the display turns to that bearing.
float bearingWord(double bearingToStation) { return f(bearingToStation * (65536.0 / 360.0)); }

// Word 163: the F/CTL page raises the elevators for a positive value, so
// positive is stick back (nose up). FlightGear's elevator is positive stick
// forward: the ufo pitches up with -0.3.
float stickPitchWord(double elevatorNoseDown) { return f(-elevatorNoseDown); }

// Word 164: the F/CTL page raises the right aileron for a positive value, a
// right roll, as FlightGear's aileron does.
float stickRollWord(double aileronRightRoll) { return f(aileronRightRoll); }

// Word 213: the F/CTL page shows UP for a positive value, up to 13.5 degrees
// nose up, and DN down to 4 degrees nose down. FlightGear's elevator trim is
// positive nose down, like its elevator.
float pitchTrimWord(double elevatorTrimNoseDown) {
  const double noseUp = -std::clamp(elevatorTrimNoseDown, -1.0, 1.0);
  return f(noseUp >= 0 ? noseUp * kThsUpDegrees / 49.876 : noseUp * kThsDownDegrees / 49.8);
}

}  // namespace sense

std::uint32_t clampedInt(double v, int lo, int hi) {
  return std::uint32_t(std::clamp(int(std::lround(std::clamp(v, double(lo), double(hi)))), lo, hi));
}

}  // namespace

const std::array<FieldSpec, kFieldCount>& fields() { return kFields; }

bool parsePacket(std::string_view datagram, Packet& out, std::string& error) {
  if (datagram.empty()) {
    error = "empty packet";
    return false;
  }
  if (datagram.size() > kMaxPacketBytes) {
    error = "packet of " + std::to_string(datagram.size()) + " bytes, longer than any of the protocol";
    return false;
  }
  if (datagram.back() == '\n') datagram.remove_suffix(1);
  if (!datagram.empty() && datagram.back() == '\r') datagram.remove_suffix(1);
  Packet values{};
  std::size_t n = 0, start = 0;
  while (true) {
    const std::size_t comma = std::min(datagram.find(',', start), datagram.size());
    const std::string text(datagram.substr(start, comma - start));
    if (n >= values.size()) {
      error = "more than the " + std::to_string(kFieldCount) + " fields of the protocol";
      return false;
    }
    char* end = nullptr;
    errno = 0;
    const double v = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
    const bool plain = !text.empty() && text.find_first_not_of("0123456789+-.eE") == std::string::npos;
    if (!plain || errno != 0 || *end != '\0' || !std::isfinite(v) || std::fabs(v) > kMaxMagnitude) {
      error = "field " + std::to_string(n + 1) + " (" + kFields[n].name + ") is not a number";
      return false;
    }
    values[n++] = v;
    if (comma >= datagram.size()) break;
    start = comma + 1;
  }
  if (n != values.size()) {
    error = std::to_string(n) + " fields where the protocol has " + std::to_string(kFieldCount);
    return false;
  }
  out = values;
  return true;
}

void composeBlock(const Packet& p, const Options& options, FlightDataBlock& b) {
  b = FlightDataBlock{};
  auto on = [&](Field field) { return p[field] != 0.0; };

  b.setF32(2, f(p[UtcHour]));
  b.setF32(3, f(p[UtcMinute]));
  b.setF32(4, f(p[UtcSecond]));
  b.setF32(5, f(p[Elapsed]));
  b.setF32(7, f(p[Sat]));
  // Total air temperature from the static one and the Mach number.
  const double tat = (p[Sat] + 273.15) * (1.0 + 0.2 * p[Mach] * p[Mach]) - 273.15;
  b.setF32(8, f(tat / 250.0));
  b.setF32(14, f(p[Heading]));
  b.setU32(17, on(LandingLights) ? 2u : 0u);
  b.setF32(22, sense::pitchWord(p[Pitch]));
  b.setF32(23, sense::bankWord(p[Roll]));
  b.setF32(25, f(p[Ias]));
  b.setF32(27, f(p[TargetSpeed] * 128.0));
  b.setF32(28, f(p[Mach] * kMachRaw));
  b.setF32(29, f(p[Altitude]));
  b.setF32(30, f(p[VerticalSpeedFps] * kVsRawPerFps));
  b.setF32(31, f(p[SettingInhg]));
  b.setF32(32, f(p[SettingInhg] * kHpaPerInhg));
  b.setF32(37, f(std::clamp(p[FlapNorm], 0.0, 1.0) * options.flapsFullDegrees));
  b.setU32(39, clampedInt(p[ChecklistButton], 0, 255) << 24);
  b.setU32(40, clampedInt(p[SdPageSelect], 0, 15) << 24);
  b.setF32(41, f(std::max(p[BrakeLeft], p[BrakeRight]) * kRawFull));

  const bool onGround = on(Wow0) || on(Wow1) || on(Wow2);
  b.setU32(48, !onGround && on(GearDown) ? 128u : 0u);  // on the approach: gear down in the air
  // 0.0 parks the RMI needles: word 64 only when the station is received.
  b.setF32(64, on(Nav1InRange) ? sense::relativeBearingWord(p[Nav1Bearing], p[Heading]) : 0.0f);
  b.setF32(62, on(Nav2InRange) ? 1.0f : 0.0f);
  b.setF32(75, sense::bearingWord(p[Nav2Bearing]));

  // Our autobrake property: 0 off, 1 low, 2 medium, 3 RTO; anything else off.
  static constexpr float kAutobrake[] = {1.0f, 2.0f, 3.0f, 0.0f};
  const double autobrake = p[Autobrake];
  b.setF32(104, autobrake >= 0 && autobrake <= 3 ? kAutobrake[clampedInt(autobrake, 0, 3)] : 1.0f);
  b.setF32(105, f(p[Fuel]));

  struct Engine {
    Field n1, n2, egt, flow, oil, oilTemp, throttle;
    int offset;  // engine 2's words are engine 1's plus 50
  };
  bool lowOil = false;
  for (const Engine& e : {Engine{N1Left, N2Left, EgtLeft, FuelFlowLeft, OilPressureLeft, OilTemperatureLeft,
                                 ThrottleLeft, 0},
                          Engine{N1Right, N2Right, EgtRight, FuelFlowRight, OilPressureRight,
                                 OilTemperatureRight, ThrottleRight, 50}}) {
    const int o = e.offset;
    b.setF32(120 + o, f(p[e.flow]));
    b.setF32(123 + o, f(p[e.oil] * kOilRawPerPsi));
    b.setF32(124 + o, f(std::max(0.0, (p[e.oilTemp] - 32.0) / 1.8) * 100.0));
    b.setF32(126 + o, f(p[e.n2] * kHydraulicPerPercent));
    b.setF32(129 + o, f(p[e.n1] * kRawPerPercent));
    b.setF32(130 + o, f(p[e.n2] * kRawPerPercent));
    b.setF32(141 + o, f(p[e.throttle] * kRawFull));
    b.setF32(148 + o, f(p[e.n2]));
    b.setF32(158 + o, f(p[e.egt] + 459.67));
    lowOil = lowOil || (p[e.n2] >= kRunningN2 && p[e.oil] < kLowOilPsi);
  }
  // Fuel used counts engine 1's flow word 112 and engine 2's 113.
  b.setF32(112, f(p[FuelFlowLeft]));
  b.setF32(113, f(p[FuelFlowRight]));

  b.setF32(161, f(p[ParkingBrake]));
  b.setF32(163, sense::stickPitchWord(p[Elevator]));
  b.setF32(164, sense::stickRollWord(p[Aileron]));
  // The display only extends spoilers at its exact detents.
  const std::uint32_t level = clampedInt(p[SpeedBrake] * 4.0, 0, 4);
  b.setF32(211, level == 0 && on(SpoilersArmed) ? kSpoilersArmed : kSpeedBrakeDetents[level]);
  b.setF32(213, sense::pitchTrimWord(p[ElevatorTrim]));
  b.setF32(215, on(GearDown) ? kRawFull : 0.0f);
  b.setF32(216, f(p[Gear0] * kRawFull));
  b.setF32(217, f(p[Gear1] * kRawFull));
  b.setF32(218, f(p[Gear2] * kRawFull));
  b.setF32(219, f(p[Agl] * 0.3048));

  std::uint32_t status = on(DoorsOpen) ? 0u : kDoorsClosed;
  if (onGround) status |= kOnGround;
  if (!onGround && p[Agl] < kLowHeightFeet) status |= kLowHeight;
  if (on(Stall)) status |= kStall;
  if (on(Overspeed)) status |= kOverspeed;
  if (lowOil) status |= kLowOil;
  b.setU32(221, status);
  b.setF32(227, f(p[GroundSpeed] / kKnotsPerMs));
}

std::string protocolXml() {
  std::string x =
      "<?xml version=\"1.0\"?>\n"
      "<!-- a320-display: the properties a320-bridge reads, in the order it reads them.\n"
      "     Copy to $FG_ROOT/Protocol/a320-display.xml and start FlightGear with the option\n"
      "     generic=socket,out,30,127.0.0.1,5500,udp,a320-display (after two dashes). -->\n"
      "<PropertyList>\n"
      " <generic>\n"
      "  <output>\n"
      "   <binary_mode>false</binary_mode>\n"
      "   <line_separator>newline</line_separator>\n"
      "   <var_separator>,</var_separator>\n";
  for (const FieldSpec& s : kFields) {
    x += "   <chunk>\n";
    x += std::string("    <name>") + s.name + "</name>\n";
    x += std::string("    <type>") + s.type + "</type>\n";
    x += std::string("    <format>") + s.format + "</format>\n";
    x += std::string("    <node>") + s.property + "</node>\n";
    x += "   </chunk>\n";
  }
  x += "  </output>\n </generic>\n</PropertyList>\n";
  return x;
}

}  // namespace bridge
