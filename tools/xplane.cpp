#include "xplane.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "cli.h"

namespace xplane {
namespace {

// Names, types and units as X-Plane's published dataref list gives them;
// README's table says what each one feeds.
const std::array<RefSpec, kRefCount> kRefs = {{
    {ZuluTime, "sim/time/zulu_time_sec"},                                              // s since midnight UTC
    {RunningTime, "sim/time/total_running_time_sec"},                                  // s
    {OutsideAir, "sim/cockpit2/temperature/outside_air_temp_degc"},                    // degrees C
    {Mach, "sim/cockpit2/gauges/indicators/mach_pilot"},                               // Mach
    {Heading, "sim/cockpit2/gauges/indicators/heading_AHARS_deg_mag_pilot"},           // degrees magnetic
    {Pitch, "sim/cockpit2/gauges/indicators/pitch_AHARS_deg_pilot"},                   // degrees, positive up
    {Roll, "sim/cockpit2/gauges/indicators/roll_AHARS_deg_pilot"},                     // degrees, positive right
    {Airspeed, "sim/cockpit2/gauges/indicators/airspeed_kts_pilot"},                   // knots
    {SpeedSelected, "sim/cockpit/autopilot/airspeed"},                                 // knots or Mach
    {SpeedIsMach, "sim/cockpit/autopilot/airspeed_is_mach"},                           // boolean
    {Altitude, "sim/cockpit2/gauges/indicators/altitude_ft_pilot"},                    // feet
    {VerticalSpeed, "sim/cockpit2/gauges/indicators/vvi_fpm_pilot"},                   // feet/minute
    {Barometer, "sim/cockpit2/gauges/actuators/barometer_setting_in_hg_pilot"},        // inches Hg
    {Flaps, "sim/flightmodel2/controls/flap1_deploy_ratio"},                           // 0 up .. 1 down
    {BrakeLeft, "sim/flightmodel/controls/l_brake_add"},                               // 0..1
    {BrakeRight, "sim/flightmodel/controls/r_brake_add"},                              // 0..1
    {ParkingBrake, "sim/flightmodel/controls/parkbrake"},                              // 0..1
    {LandingLights, "sim/cockpit/electrical/landing_lights_on"},                       // boolean
    {PitchControl, "sim/flightmodel2/controls/pitch_ratio"},                           // -1 down .. 1 up
    {RollControl, "sim/flightmodel2/controls/roll_ratio"},                             // -1 left .. 1 right
    {PitchTrim, "sim/flightmodel/controls/elv_trim"},                                  // -1 nose down .. 1 up
    {SpeedBrake, "sim/flightmodel/controls/sbrkrqst"},                                 // -0.5 armed, 0..1
    {GearHandle, "sim/cockpit/switches/gear_handle_status"},                           // boolean, down
    {GearNose, "sim/flightmodel2/gear/deploy_ratio[0]"},                               // 0 up .. 1 down
    {GearLeft, "sim/flightmodel2/gear/deploy_ratio[1]"},
    {GearRight, "sim/flightmodel2/gear/deploy_ratio[2]"},
    {OnGroundNose, "sim/flightmodel2/gear/on_ground[0]"},                              // boolean
    {OnGroundLeft, "sim/flightmodel2/gear/on_ground[1]"},
    {OnGroundRight, "sim/flightmodel2/gear/on_ground[2]"},
    {HeightAgl, "sim/flightmodel/position/y_agl"},                                     // metres
    {GroundSpeed, "sim/flightmodel/position/groundspeed"},                             // m/s
    {StallWarning, "sim/flightmodel/failures/stallwarning"},                           // boolean
    {OverspeedWarning, "sim/flightmodel/failures/over_vne"},                           // boolean
    {FuelTotal, "sim/flightmodel/weight/m_fuel_total"},                                // kg
    {N1Left, "sim/cockpit2/engine/indicators/N1_percent[0]"},                          // percent
    {N1Right, "sim/cockpit2/engine/indicators/N1_percent[1]"},
    {N2Left, "sim/cockpit2/engine/indicators/N2_percent[0]"},                          // percent
    {N2Right, "sim/cockpit2/engine/indicators/N2_percent[1]"},
    {EgtLeft, "sim/flightmodel2/engines/EGT_deg_cel[0]"},                              // degrees C
    {EgtRight, "sim/flightmodel2/engines/EGT_deg_cel[1]"},
    {FuelFlowLeft, "sim/cockpit2/engine/indicators/fuel_flow_kg_sec[0]"},              // kg/s
    {FuelFlowRight, "sim/cockpit2/engine/indicators/fuel_flow_kg_sec[1]"},
    {OilPressureLeft, "sim/cockpit2/engine/indicators/oil_pressure_psi[0]"},           // psi
    {OilPressureRight, "sim/cockpit2/engine/indicators/oil_pressure_psi[1]"},
    {OilTempLeft, "sim/cockpit2/engine/indicators/oil_temperature_deg_C[0]"},          // C or F, see below
    {OilTempRight, "sim/cockpit2/engine/indicators/oil_temperature_deg_C[1]"},
    {ThrottleLeft, "sim/cockpit2/engine/actuators/throttle_ratio[0]"},                 // 0 idle .. 1 max
    {ThrottleRight, "sim/cockpit2/engine/actuators/throttle_ratio[1]"},
    {OilInCelsius, "sim/aircraft/engine/acf_oilT_is_C"},                               // boolean
    {Nav1Bearing, "sim/cockpit/radios/nav1_dir_degt"},                                 // degrees from the nose
    {Nav1Flag, "sim/cockpit/radios/nav1_fromto"},                                      // 0 flag, 1 to, 2 from
    {Nav2Bearing, "sim/cockpit/radios/nav2_dir_degt"},
    {Nav2Flag, "sim/cockpit/radios/nav2_fromto"},
    {AutobrakeLevel, "sim/cockpit2/switches/auto_brake_level"},                        // 0 RTO, 1 off, 2..5
}};

constexpr double kKgPerLb = 0.45359237;
constexpr double kKnotsPerMs = 1.943844;
constexpr double kFeetPerMetre = 1 / 0.3048;

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
void putLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

}  // namespace

const std::array<RefSpec, kRefCount>& datarefs() { return kRefs; }

std::array<std::uint8_t, kRequestBytes> request(std::int32_t frequency, std::int32_t index, std::string_view path) {
  std::array<std::uint8_t, kRequestBytes> r{};
  std::memcpy(r.data(), "RREF", 5);
  putLe32(&r[5], std::uint32_t(frequency));
  putLe32(&r[9], std::uint32_t(index));
  // At least one NUL ends the path.
  std::memcpy(&r[13], path.data(), std::min(path.size(), kPathBytes - 1));
  return r;
}

bool parseAnswer(std::span<const std::uint8_t> d, std::vector<std::pair<int, float>>& pairs, std::string& error) {
  if (d.size() < 5 || std::memcmp(d.data(), "RREF", 4) != 0) {
    error = "a datagram of " + std::to_string(d.size()) + " bytes that is no RREF answer";
    return false;
  }
  const std::size_t body = d.size() - 5;
  if (body % 8 != 0) {
    error = "an RREF answer of " + std::to_string(body) + " bytes after its header, not whole index/value pairs";
    return false;
  }
  if (body == 0) {
    error = "an RREF answer without values";
    return false;
  }
  std::vector<std::pair<int, float>> got;
  for (std::size_t at = 5; at < d.size(); at += 8) {
    const std::int32_t index = std::int32_t(le32(&d[at]));
    const float value = std::bit_cast<float>(le32(&d[at + 4]));
    if (index < 0 || index >= kRefCount) {
      error = "an RREF answer for index " + std::to_string(index) + ", which we did not ask for";
      return false;
    }
    if (!std::isfinite(value) || std::fabs(value) > kMaxMagnitude) {
      error = std::string("an RREF answer whose value of ") + kRefs[std::size_t(index)].path + " is not a reading";
      return false;
    }
    got.emplace_back(index, value);
  }
  pairs = std::move(got);
  return true;
}

bool parseBeacon(std::span<const std::uint8_t> d, Beacon& out, std::string& error) {
  constexpr std::size_t kFixed = 21;  // header, versions, host, version, role, port
  if (d.size() < kFixed || std::memcmp(d.data(), "BECN", 5) != 0) {
    error = "not an X-Plane beacon";
    return false;
  }
  if (d[5] != 1) {
    error = "a beacon of major version " + std::to_string(d[5]) + ", not 1";
    return false;
  }
  if (le32(&d[7]) != 1) {
    error = "a beacon of another program than X-Plane (host " + std::to_string(le32(&d[7])) + ")";
    return false;
  }
  if (le32(&d[15]) != 1) {
    error = "a beacon of an X-Plane that is not the master (role " + std::to_string(le32(&d[15])) + ")";
    return false;
  }
  const std::uint16_t port = std::uint16_t(d[19] | d[20] << 8);
  if (port == 0) {
    error = "a beacon without a port";
    return false;
  }
  out.port = port;
  out.version = std::int32_t(le32(&d[11]));
  const auto name = d.subspan(kFixed);
  const auto end = std::find(name.begin(), name.end(), std::uint8_t(0));
  out.computer.assign(name.begin(), end);
  return true;
}

void toState(const Values& v, const Settings& settings, bridge::AircraftState& s) {
  s = bridge::AircraftState{};
  auto on = [&](Ref r) { return v[r] != 0.0f; };
  double t = std::fmod(double(v[ZuluTime]), 86400.0);
  if (!(t >= 0)) t = 0;
  s.utcHours = std::floor(t / 3600);
  s.utcMinutes = std::floor(std::fmod(t, 3600) / 60);
  s.utcSeconds = std::fmod(t, 60);
  s.elapsedSeconds = v[RunningTime];
  s.staticAirCelsius = v[OutsideAir];
  s.mach = v[Mach];
  s.headingDegrees = v[Heading];
  // X-Plane's indicated pitch is positive up, its roll positive right: the
  // state's own senses.
  s.pitchNoseUpDegrees = v[Pitch];
  s.bankRightDegrees = v[Roll];
  s.indicatedKnots = v[Airspeed];
  // A selected Mach number as the airspeed it means here and now.
  if (on(SpeedIsMach))
    s.targetKnots = v[Mach] > 0.05f ? double(v[Airspeed]) * v[SpeedSelected] / v[Mach] : 0.0;
  else
    s.targetKnots = v[SpeedSelected];
  s.altitudeFeet = v[Altitude];
  s.verticalSpeedFpm = v[VerticalSpeed];
  s.altimeterInHg = v[Barometer];
  s.flapRatio = v[Flaps];
  s.brakeLeftRatio = v[BrakeLeft];
  s.brakeRightRatio = v[BrakeRight];
  s.parkingBrakeRatio = v[ParkingBrake];
  s.landingLights = on(LandingLights);
  // Control deflections: pitch positive up (stick back), roll positive
  // right; trim positive nose up.
  s.stickBackRatio = v[PitchControl];
  s.stickRightRatio = v[RollControl];
  s.pitchTrimNoseUpRatio = v[PitchTrim];
  // The speed brake lever reads -0.5 when armed.
  s.spoilersArmed = v[SpeedBrake] < -0.25f;
  s.speedBrakeRatio = std::max(0.0f, v[SpeedBrake]);
  s.gearLeverDown = on(GearHandle);
  s.gearDownRatio = {v[GearNose], v[GearLeft], v[GearRight]};
  s.weightOnWheels = {on(OnGroundNose), on(OnGroundLeft), on(OnGroundRight)};
  s.heightFeet = v[HeightAgl] * kFeetPerMetre;
  s.groundKnots = v[GroundSpeed] * kKnotsPerMs;
  s.stallWarning = on(StallWarning);
  s.overspeedWarning = on(OverspeedWarning);
  s.fuelPounds = v[FuelTotal] / kKgPerLb;
  const Ref n1[] = {N1Left, N1Right}, n2[] = {N2Left, N2Right}, egt[] = {EgtLeft, EgtRight},
            flow[] = {FuelFlowLeft, FuelFlowRight}, oil[] = {OilPressureLeft, OilPressureRight},
            oilTemp[] = {OilTempLeft, OilTempRight}, throttle[] = {ThrottleLeft, ThrottleRight};
  for (std::size_t e = 0; e < 2; ++e) {
    bridge::EngineState& to = s.engines[e];
    to.n1Percent = v[n1[e]];
    to.n2Percent = v[n2[e]];
    to.egtCelsius = v[egt[e]];
    to.fuelFlowPph = v[flow[e]] * 3600.0 / kKgPerLb;
    to.oilPressurePsi = v[oil[e]];
    // The oil temperature's unit is the aircraft's choice.
    to.oilTemperatureCelsius = on(OilInCelsius) ? double(v[oilTemp[e]]) : (v[oilTemp[e]] - 32.0) / 1.8;
    to.throttleRatio = v[throttle[e]];
  }
  // The nav bearings are relative to the nose; a flag means no station.
  s.nav[0] = {on(Nav1Flag), double(v[Heading]) + v[Nav1Bearing]};
  s.nav[1] = {on(Nav2Flag), double(v[Heading]) + v[Nav2Bearing]};
  // 0 RTO, 1 off, then rising levels; those above medium have no memo.
  switch (std::lround(std::clamp(v[AutobrakeLevel], -1.0f, 9.0f))) {
    case 0: s.autobrake = bridge::Autobrake::Rto; break;
    case 1: s.autobrake = bridge::Autobrake::Off; break;
    case 2: s.autobrake = bridge::Autobrake::Low; break;
    case 3: s.autobrake = bridge::Autobrake::Medium; break;
    default: s.autobrake = bridge::Autobrake::Unshown; break;
  }
  s.systemPage = settings.systemPage;
  s.doorsOpen = settings.doorsOpen;
}

Link::Step Link::tick(Clock::time_point now) {
  Step step;
  if (announce_) {
    announce_ = false;
    step.notes.push_back(wasSilent_ ? "X-Plane answers again" : "X-Plane answers");
  }
  if (!subscribed_ || (state_ == State::Waiting && now - asked_ >= kRetry)) {
    step.subscribe = true;
  } else if (state_ == State::Answering && now - lastAnswer_ > kSilence) {
    state_ = State::Waiting;
    seen_.fill(false);
    complete_ = false;
    wasSilent_ = true;
    step.subscribe = true;
    step.notes.push_back("X-Plane went silent: no blocks until it answers again; subscribing every " +
                         std::to_string(kRetry.count() / 1000) + " s");
  } else if (state_ == State::Answering && !complete_ && now - firstAnswer_ >= kGrace) {
    complete_ = true;
    std::string missing;
    int n = 0;
    for (std::size_t i = 0; i < seen_.size(); ++i)
      if (!seen_[i] && n++ < 3) missing += std::string(missing.empty() ? "" : ", ") + kRefs[i].path;
    step.notes.push_back("X-Plane gives no value for " + std::to_string(n) + " datarefs (" + missing +
                         (n > 3 ? ", ..." : "") + "); they read 0");
  }
  if (subscribed_ && !everAnswered_ && !toldQuiet_ && now - firstAsked_ >= kQuiet) {
    toldQuiet_ = true;
    step.notes.push_back("no answer from X-Plane yet: is it running, does it accept incoming connections "
                         "(X-Plane 12: Settings > Network), and does no firewall block UDP port 49000?");
  }
  if (step.subscribe) {
    if (!subscribed_) firstAsked_ = now;
    subscribed_ = true;
    asked_ = now;
  }
  return step;
}

bool Link::take(std::span<const std::uint8_t> datagram, Clock::time_point now, std::string& error) {
  std::vector<std::pair<int, float>> pairs;
  if (!parseAnswer(datagram, pairs, error)) return false;
  for (const auto& [index, value] : pairs) {
    values_[std::size_t(index)] = value;
    seen_[std::size_t(index)] = true;
  }
  everAnswered_ = true;
  if (state_ == State::Waiting) {
    state_ = State::Answering;
    firstAnswer_ = now;
    announce_ = true;
  }
  lastAnswer_ = now;
  complete_ = complete_ || std::all_of(seen_.begin(), seen_.end(), [](bool b) { return b; });
  return true;
}

bool Link::live(Clock::time_point now) const {
  return state_ == State::Answering && complete_ && now - lastAnswer_ <= kSilence;
}

void Link::restart() { *this = Link{}; }

bool parseHostPort(const std::string& text, std::string& host, std::uint16_t& port) {
  const auto colon = text.rfind(':');
  host = text.substr(0, colon);
  port = kPort;
  if (host.empty()) return false;
  if (colon == std::string::npos) return true;
  const auto p = cli::parseInteger(text.substr(colon + 1), 1, 65535);
  if (!p) return false;
  port = std::uint16_t(*p);
  return true;
}

namespace {

std::string addressText(const sockaddr_in& a) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(a.sin_port));
}

class XPlaneSource : public bridge::Source {
 public:
  XPlaneSource(int socket, int beacon, const Settings& settings) : socket_(socket), beacon_(beacon), settings_(settings) {}
  ~XPlaneSource() override {
    close(socket_);
    if (beacon_ >= 0) close(beacon_);
  }
  void aim(const sockaddr_in& target) {
    target_ = target;
    aimed_ = true;
    std::printf("a320-bridge: asking X-Plane at %s for %d datarefs, %d times a second\n", addressText(target).c_str(),
                int(kRefCount), int(kRate));
    std::fflush(stdout);
  }

  std::vector<int> sockets() const override {
    if (beacon_ < 0) return {socket_};
    return {socket_, beacon_};
  }

  void readable(int socket, bridge::Clock::time_point now) override {
    sockaddr_in from{};
    socklen_t length = sizeof from;
    // Drained at once: X-Plane may send its answer in several datagrams.
    while (true) {
      length = sizeof from;
      const ssize_t n =
          recvfrom(socket, buf_.data(), buf_.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &length);
      if (n < 0) return;
      const std::span<const std::uint8_t> datagram(buf_.data(), std::size_t(n));
      if (socket == beacon_) {
        heardBeacon(datagram, from, now);
        continue;
      }
      // Only X-Plane's own answers count.
      if (!aimed_ || from.sin_addr.s_addr != target_.sin_addr.s_addr) {
        ++foreign_;
        continue;
      }
      std::string error;
      if (!link_.take(datagram, now, error) && refused_++ < 5)
        std::fprintf(stderr, "a320-bridge: refused %s\n", error.c_str());
    }
  }

  bool due(bridge::Clock::time_point now, bridge::AircraftState& state) override {
    if (!aimed_) return false;
    const Link::Step step = link_.tick(now);
    for (const std::string& note : step.notes) std::printf("a320-bridge: %s\n", note.c_str());
    if (!step.notes.empty()) std::fflush(stdout);
    if (step.subscribe) subscribe(kRate);
    if (!link_.live(now)) {
      nextBlock_ = now;
      return false;
    }
    if (now < nextBlock_) return false;
    // Evenly spaced, without a burst to catch up after a stall.
    nextBlock_ += kPeriod;
    if (nextBlock_ < now) nextBlock_ = now + kPeriod;
    toState(link_.values(), settings_, state);
    return true;
  }

  bridge::Clock::time_point nextWake(bridge::Clock::time_point now) const override {
    // Often enough for the link's timers; blocks on their own schedule.
    const auto soon = now + std::chrono::milliseconds(100);
    return aimed_ && link_.live(now) ? std::min(std::max(nextBlock_, now), soon) : soon;
  }

  // X-Plane would otherwise keep sending to a port nobody reads.
  void finish() override {
    if (aimed_ && link_.subscribed()) subscribe(0);
  }

  std::string refusals() const override {
    std::string text = "refused " + std::to_string(refused_) + " datagrams";
    if (foreign_) text += ", ignored " + std::to_string(foreign_) + " from other senders";
    return text;
  }

 private:
  static constexpr auto kPeriod = std::chrono::microseconds(1000000 / kRate);

  void subscribe(std::int32_t frequency) {
    for (std::int32_t i = 0; i < kRefCount; ++i) {
      const auto r = request(frequency, i, kRefs[std::size_t(i)].path);
      sendto(socket_, r.data(), r.size(), 0, reinterpret_cast<const sockaddr*>(&target_), sizeof target_);
    }
  }

  // A beacon moves the bridge to the X-Plane it names while no other
  // answers: a given host never changes.
  void heardBeacon(std::span<const std::uint8_t> datagram, const sockaddr_in& from, bridge::Clock::time_point now) {
    Beacon b;
    std::string why;
    if (!parseBeacon(datagram, b, why)) {
      if (ignoredBeacons_++ < 3) std::fprintf(stderr, "a320-bridge: ignored %s from %s\n", why.c_str(),
                                              addressText(from).c_str());
      return;
    }
    if (from.sin_addr.s_addr == htonl(INADDR_ANY)) {
      if (ignoredBeacons_++ < 3) std::fprintf(stderr, "a320-bridge: ignored a beacon without a sender's address\n");
      return;
    }
    sockaddr_in target = from;
    target.sin_port = htons(b.port);
    if (aimed_ && (link_.live(now) || (target.sin_addr.s_addr == target_.sin_addr.s_addr &&
                                       target.sin_port == target_.sin_port)))
      return;
    std::printf("a320-bridge: found X-Plane %d on %s\n", int(b.version), b.computer.empty() ? "?" : b.computer.c_str());
    link_.restart();
    aim(target);
  }

  int socket_, beacon_;
  Settings settings_;
  std::array<std::uint8_t, 65536> buf_{};
  bool aimed_ = false;
  sockaddr_in target_{};
  Link link_;
  bridge::Clock::time_point nextBlock_{};
  long long refused_ = 0, foreign_ = 0, ignoredBeacons_ = 0;
};

int openBeacon(std::string& error) {
  const int s = socket(AF_INET, SOCK_DGRAM, 0);
  // X-Plane's own tools on this machine may listen for the beacon too.
  const int yes = 1;
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(kBeaconPort);
  at.sin_addr.s_addr = htonl(INADDR_ANY);
  ip_mreq group{};
  inet_pton(AF_INET, kBeaconGroup, &group.imr_multiaddr);
  group.imr_interface.s_addr = htonl(INADDR_ANY);
  if (s < 0 || setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
      bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
      setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group) != 0) {
    error = std::string("cannot listen for X-Plane's beacon on ") + kBeaconGroup + ":" + std::to_string(kBeaconPort) +
            " (" + std::strerror(errno) + "); give X-Plane's address with --xplane HOST";
    if (s >= 0) close(s);
    return -1;
  }
  return s;
}

}  // namespace

std::unique_ptr<bridge::Source> openSource(const Connection& c, std::string& error) {
  sockaddr_in target{};
  const bool given = !c.host.empty();
  if (given && !cli::resolveHost(c.host, c.port, target)) {
    error = "cannot resolve X-Plane's host '" + c.host + "'";
    return nullptr;
  }
  // Answers come from X-Plane's address only; another machine's X-Plane
  // needs every interface.
  const bool local = given && cli::onThisMachine(target);
  const int s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(std::uint16_t(c.listenPort));
  at.sin_addr.s_addr = htonl(local ? INADDR_LOOPBACK : INADDR_ANY);
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
    error = "cannot open a port for X-Plane's answers (" + std::to_string(c.listenPort) + "): " + std::strerror(errno);
    if (s >= 0) close(s);
    return nullptr;
  }
  int beacon = -1;
  if (!given && (beacon = openBeacon(error)) < 0) {
    close(s);
    return nullptr;
  }
  auto source = std::make_unique<XPlaneSource>(s, beacon, c.settings);
  if (given)
    source->aim(target);
  else
    std::printf("a320-bridge: waiting for X-Plane's beacon on %s:%d\n", kBeaconGroup, int(kBeaconPort));
  std::fflush(stdout);
  return source;
}

}  // namespace xplane
