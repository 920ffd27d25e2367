#include "flightgear.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace flightgear {
namespace {

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

// Rounded and held within [lo, hi].
int rounded(double v, int lo, int hi) { return int(std::lround(std::clamp(v, double(lo), double(hi)))); }

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

void toState(const Packet& p, bridge::AircraftState& s) {
  s = bridge::AircraftState{};
  auto on = [&](Field field) { return p[field] != 0.0; };
  s.utcHours = p[UtcHour];
  s.utcMinutes = p[UtcMinute];
  s.utcSeconds = p[UtcSecond];
  s.elapsedSeconds = p[Elapsed];
  s.staticAirCelsius = p[Sat];
  s.mach = p[Mach];
  s.headingDegrees = p[Heading];
  // FlightGear's pitch is positive nose up, its roll positive right wing
  // down: the state's own senses.
  s.pitchNoseUpDegrees = p[Pitch];
  s.bankRightDegrees = p[Roll];
  s.indicatedKnots = p[Ias];
  s.targetKnots = p[TargetSpeed];
  s.altitudeFeet = p[Altitude];
  s.verticalSpeedFpm = p[VerticalSpeedFps] * 60.0;
  s.altimeterInHg = p[SettingInhg];
  s.flapRatio = p[FlapNorm];
  s.brakeLeftRatio = p[BrakeLeft];
  s.brakeRightRatio = p[BrakeRight];
  s.parkingBrakeRatio = p[ParkingBrake];
  s.landingLights = on(LandingLights);
  // FlightGear's elevator and elevator trim are positive stick forward and
  // nose down (the ufo pitches up with -0.3); its aileron positive right.
  s.stickBackRatio = -p[Elevator];
  s.stickRightRatio = p[Aileron];
  s.pitchTrimNoseUpRatio = -p[ElevatorTrim];
  s.speedBrakeRatio = p[SpeedBrake];
  s.spoilersArmed = on(SpoilersArmed);
  s.gearLeverDown = on(GearDown);
  s.gearDownRatio = {p[Gear0], p[Gear1], p[Gear2]};
  s.weightOnWheels = {on(Wow0), on(Wow1), on(Wow2)};
  s.heightFeet = p[Agl];
  s.groundKnots = p[GroundSpeed];
  s.stallWarning = on(Stall);
  s.overspeedWarning = on(Overspeed);
  s.fuelPounds = p[Fuel];
  struct Engine {
    Field n1, n2, egt, flow, oil, oilTemp, throttle;
  };
  const Engine engines[] = {{N1Left, N2Left, EgtLeft, FuelFlowLeft, OilPressureLeft, OilTemperatureLeft, ThrottleLeft},
                            {N1Right, N2Right, EgtRight, FuelFlowRight, OilPressureRight, OilTemperatureRight,
                             ThrottleRight}};
  for (std::size_t e = 0; e < 2; ++e) {
    const Engine& from = engines[e];
    bridge::EngineState& to = s.engines[e];
    to.n1Percent = p[from.n1];
    to.n2Percent = p[from.n2];
    to.egtCelsius = (p[from.egt] - 32.0) / 1.8;
    to.fuelFlowPph = p[from.flow];
    to.oilPressurePsi = p[from.oil];
    to.oilTemperatureCelsius = (p[from.oilTemp] - 32.0) / 1.8;
    to.throttleRatio = p[from.throttle];
  }
  // nav heading-deg is the bearing from the aircraft to the station.
  s.nav[0] = {on(Nav1InRange), p[Nav1Bearing]};
  s.nav[1] = {on(Nav2InRange), p[Nav2Bearing]};
  s.systemPage = rounded(p[SdPageSelect], 0, 15);
  s.checklistButton = rounded(p[ChecklistButton], 0, 255);
  // Our autobrake property: 0 off, 1 low, 2 medium, 3 RTO; anything else off.
  static constexpr bridge::Autobrake kAutobrake[] = {bridge::Autobrake::Off, bridge::Autobrake::Low,
                                                     bridge::Autobrake::Medium, bridge::Autobrake::Rto};
  const double autobrake = p[Autobrake];
  s.autobrake = autobrake >= 0 && autobrake <= 3 ? kAutobrake[rounded(autobrake, 0, 3)] : bridge::Autobrake::Off;
  s.doorsOpen = on(DoorsOpen);
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

namespace {

class FlightGearSource : public bridge::Source {
 public:
  explicit FlightGearSource(int socket) : socket_(socket), buf_(kMaxPacketBytes + 1) {}
  ~FlightGearSource() override { close(socket_); }
  std::vector<int> sockets() const override { return {socket_}; }

  void readable(int socket, bridge::Clock::time_point) override {
    // One byte more than the longest packet, so that a longer one shows.
    const ssize_t n = recv(socket, buf_.data(), buf_.size(), 0);
    if (n < 0) return;
    std::string error;
    if (!parsePacket(std::string_view(buf_.data(), std::size_t(n)), packet_, error)) {
      // A few reasons are worth seeing; a flood of them is not.
      if (refused_++ < 5) std::fprintf(stderr, "a320-bridge: refused a packet: %s\n", error.c_str());
      return;
    }
    pending_ = true;
  }

  // One block per packet, the moment it arrives.
  bool due(bridge::Clock::time_point, bridge::AircraftState& state) override {
    if (!pending_) return false;
    pending_ = false;
    toState(packet_, state);
    return true;
  }
  bridge::Clock::time_point nextWake(bridge::Clock::time_point now) const override {
    return now + std::chrono::milliseconds(200);
  }
  std::string refusals() const override { return "refused " + std::to_string(refused_) + " packets"; }

 private:
  int socket_;
  std::vector<char> buf_;
  Packet packet_{};
  bool pending_ = false;
  long long refused_ = 0;
};

}  // namespace

std::unique_ptr<bridge::Source> openSource(long long listenPort, bool everyInterface, std::string& error) {
  const int in = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(std::uint16_t(listenPort));
  at.sin_addr.s_addr = htonl(everyInterface ? INADDR_ANY : INADDR_LOOPBACK);
  if (in < 0 || bind(in, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    error = "cannot listen on port " + std::to_string(listenPort) + ": " + std::strerror(errno);
    if (in >= 0) close(in);
    return nullptr;
  }
  return std::make_unique<FlightGearSource>(in);
}

}  // namespace flightgear
