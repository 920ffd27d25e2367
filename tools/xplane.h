#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "aircraft_state.h"
#include "bridge_loop.h"

// The X-Plane adapter: X-Plane's own UDP interface, no plugin to install.
// The bridge asks for every dataref it needs with an RREF request and
// X-Plane keeps answering with their values. datarefs() is the one table of
// which dataref feeds what; toState() converts their units and senses.
namespace xplane {

inline constexpr std::uint16_t kPort = 49000;  // where X-Plane listens
inline constexpr const char* kBeaconGroup = "239.255.1.1";
inline constexpr std::uint16_t kBeaconPort = 49707;
inline constexpr std::int32_t kRate = 30;  // answers a second asked for
inline constexpr std::size_t kRequestBytes = 413;
inline constexpr std::size_t kPathBytes = 400;
// Larger numbers are no reading of any dataref we ask for.
inline constexpr double kMaxMagnitude = 1e9;

enum Ref {
  ZuluTime, RunningTime, OutsideAir, Mach, Heading, Pitch, Roll, Airspeed, SpeedSelected, SpeedIsMach, Altitude,
  VerticalSpeed, Barometer, Flaps, BrakeLeft, BrakeRight, ParkingBrake, LandingLights, PitchControl, RollControl,
  PitchTrim, SpeedBrake, GearHandle, GearNose, GearLeft, GearRight, OnGroundNose, OnGroundLeft, OnGroundRight,
  HeightAgl, GroundSpeed, StallWarning, OverspeedWarning, FuelTotal, N1Left, N1Right, N2Left, N2Right, EgtLeft,
  EgtRight, FuelFlowLeft, FuelFlowRight, OilPressureLeft, OilPressureRight, OilTempLeft, OilTempRight,
  ThrottleLeft, ThrottleRight, OilInCelsius, Nav1Bearing, Nav1Flag, Nav2Bearing, Nav2Flag, AutobrakeLevel,
  kRefCount
};

struct RefSpec {
  Ref ref;
  const char* path;  // array elements as name[n]
};
// Subscription index = position in this table.
const std::array<RefSpec, kRefCount>& datarefs();

using Values = std::array<float, kRefCount>;

// "RREF" and a NUL, then little-endian int32 frequency (0 unsubscribes) and
// int32 index, then the path NUL-padded to 400 bytes.
std::array<std::uint8_t, kRequestBytes> request(std::int32_t frequency, std::int32_t index, std::string_view path);

// "RREF", one more byte, then index/value pairs (int32, float32). Refused
// whole, with the reason, when anything in it is not an answer to us.
bool parseAnswer(std::span<const std::uint8_t> datagram, std::vector<std::pair<int, float>>& pairs,
                 std::string& error);

// X-Plane's beacon: "BECN" and a NUL, then major and minor version bytes,
// int32 host (1 X-Plane), int32 version, uint32 role (1 master), uint16 the
// port it listens on, its computer's name.
struct Beacon {
  std::uint16_t port = 0;
  std::int32_t version = 0;
  std::string computer;
};
bool parseBeacon(std::span<const std::uint8_t> datagram, Beacon& out, std::string& error);

// Words no standard dataref covers, from the command line.
struct Settings {
  int systemPage = 0;  // 0: the display picks the page
  bool doorsOpen = false;
};

void toState(const Values& values, const Settings& settings, bridge::AircraftState& out);

// Whether X-Plane answers, and when to subscribe again, kept apart from
// sockets and the clock so that silence and restarts can be tested.
class Link {
 public:
  using Clock = std::chrono::steady_clock;
  // No answer this long: X-Plane went away (or restarted and forgot us).
  static constexpr std::chrono::milliseconds kSilence{1000};
  // How often to ask again while nothing answers.
  static constexpr std::chrono::milliseconds kRetry{2000};
  // How long to wait for the first answer of every dataref.
  static constexpr std::chrono::milliseconds kGrace{1000};
  // How long without any answer before telling the operator what to check.
  static constexpr std::chrono::milliseconds kQuiet{5000};

  struct Step {
    bool subscribe = false;
    std::vector<std::string> notes;  // for the operator
  };
  Step tick(Clock::time_point now);
  // One datagram from X-Plane; false with the reason when refused, and then
  // nothing of it is taken.
  bool take(std::span<const std::uint8_t> datagram, Clock::time_point now, std::string& error);
  // Blocks may go out: X-Plane answers and every dataref came (or the grace
  // for the missing ones ran out).
  bool live(Clock::time_point now) const;
  // Another X-Plane: forget everything and subscribe afresh.
  void restart();
  bool subscribed() const { return subscribed_; }
  const Values& values() const { return values_; }

 private:
  enum class State { Waiting, Answering };
  State state_ = State::Waiting;
  bool subscribed_ = false, complete_ = false, wasSilent_ = false, announce_ = false, everAnswered_ = false,
       toldQuiet_ = false;
  Clock::time_point firstAsked_{}, asked_{}, firstAnswer_{}, lastAnswer_{};
  std::array<bool, kRefCount> seen_{};
  Values values_{};
};

struct Connection {
  std::string host;  // empty: find X-Plane by its beacon
  std::uint16_t port = kPort;
  long long listenPort = 0;  // where answers come to; 0 any free port
  Settings settings;
};
// The adapter on the network; nullptr with error filled when a socket fails.
std::unique_ptr<bridge::Source> openSource(const Connection& connection, std::string& error);

// "HOST" or "HOST:PORT".
bool parseHostPort(const std::string& text, std::string& host, std::uint16_t& port);

}  // namespace xplane
