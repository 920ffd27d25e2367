// The X-Plane adapter against X-Plane's published UDP format: datarefs to
// words, the bytes of requests, answers and beacons, and the bridge itself
// fed by a fake X-Plane over loopback.
#include "xplane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "compose.h"
#include "host/udp_receiver.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/process.h"
#include "tools/bridge_process.h"
#include "tools/fake_xplane.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

using Refs = std::map<xplane::Ref, float>;

// An airliner in cruise, as X-Plane reports it.
const Refs kCruise = {
    {xplane::ZuluTime, 14 * 3600 + 5 * 60 + 30.5f}, {xplane::RunningTime, 1234.5f}, {xplane::OutsideAir, -40},
    {xplane::Mach, 0.78f}, {xplane::Heading, 275.5f}, {xplane::Pitch, 2.5f}, {xplane::Roll, -10},
    {xplane::Airspeed, 280}, {xplane::SpeedSelected, 280}, {xplane::Altitude, 35000}, {xplane::Barometer, 29.92f},
    {xplane::HeightAgl, 10000}, {xplane::GroundSpeed, 230}, {xplane::FuelTotal, 9000}, {xplane::N1Left, 85},
    {xplane::N1Right, 84}, {xplane::N2Left, 90}, {xplane::N2Right, 89}, {xplane::EgtLeft, 500},
    {xplane::EgtRight, 490}, {xplane::FuelFlowLeft, 0.7f}, {xplane::FuelFlowRight, 0.68f},
    {xplane::OilPressureLeft, 60}, {xplane::OilPressureRight, 58}, {xplane::OilTempLeft, 100},
    {xplane::OilTempRight, 99}, {xplane::OilInCelsius, 1}, {xplane::ThrottleLeft, 0.85f},
    {xplane::ThrottleRight, 0.84f}, {xplane::Nav1Flag, 1}, {xplane::Nav1Bearing, 24.5f}, {xplane::Nav2Flag, 1},
    {xplane::Nav2Bearing, -185.5f}, {xplane::AutobrakeLevel, 1},
};

FlightDataBlock bridged(const Refs& changes, const xplane::Settings& settings = {}) {
  xplane::Values v{};
  for (const Refs* refs : {&kCruise, &changes})
    for (const auto& [ref, value] : *refs) v[ref] = value;
  bridge::AircraftState s;
  xplane::toState(v, settings, s);
  FlightDataBlock b;
  bridge::composeBlock(s, {}, b);
  return b;
}

TEST(XPlane, DatarefsToWords) {
  using namespace xplane;
  // Attitude, heading, airspeed, N1 and full flaps are read off the drawn
  // instruments in the display test.
  struct {
    Refs changes;
    int word;
    float value;
  } floats[] = {
      {{}, 2, 14},
      {{}, 3, 5},
      {{}, 4, 30.5f},
      {{{ZuluTime, 86399}}, 2, 23},
      {{}, 5, 1234.5f},
      {{}, 7, -40},
      {{{SpeedSelected, 260}}, 27, 260 * 128.0f},
      {{{SpeedIsMach, 1}, {SpeedSelected, 0.78f}}, 27, 280 * 128.0f},  // Mach 0.78 is 280 kt here
      {{{Altitude, -46}}, 29, -46},
      {{{VerticalSpeed, 1500}}, 30, 1950.72f},
      {{}, 31, 29.92f},
      {{{BrakeLeft, 0.5f}, {BrakeRight, 0.25f}}, 41, 8192},
      {{}, 64, 24.5f},  // NAV1 from the nose
      {{{Nav1Flag, 0}}, 64, 0},
      {{}, 62, 1},
      {{{Nav2Flag, 0}}, 62, 0},
      {{}, 75, 16384},  // NAV2 due east
      {{{AutobrakeLevel, 0}}, 104, 0},  // RTO
      {{}, 104, 1},                     // off
      {{{AutobrakeLevel, 2}}, 104, 2},
      {{{AutobrakeLevel, 3}}, 104, 3},
      {{{AutobrakeLevel, 5}}, 104, 4},  // a level without a memo
      {{}, 105, 9000 / 0.45359237f},
      {{}, 120, 0.7f * 3600 / 0.45359237f},
      {{}, 123, 60 * 423.0f},
      {{}, 124, 10000},
      {{{OilInCelsius, 0}, {OilTempLeft, 212}}, 124, 10000},  // the aircraft gives Fahrenheit
      {{}, 180, 89 * 163.84f},
      {{}, 141, 0.85f * 16384},
      {{}, 158, 1391.67f},  // 500 C in Rankine
      {{{ParkingBrake, 1}}, 161, 1},
      {{{PitchControl, 0.25f}}, 163, 0.25f},  // up: elevators up
      {{{RollControl, -0.5f}}, 164, -0.5f},
      {{{PitchTrim, -1}}, 213, -4.0f / 49.8f},
      {{{SpeedBrake, -0.5f}}, 211, 4800},  // armed
      {{{GearHandle, 1}}, 215, 16384},
      {{{GearNose, 1}}, 216, 16384},
      {{{GearRight, 0.5f}}, 218, 8192},
      {{{HeightAgl, 15.24f}}, 219, 15.24f},
      {{{GroundSpeed, 100}}, 227, 100},
  };
  for (std::size_t i = 0; i < std::size(floats); ++i) {
    const auto& c = floats[i];
    EXPECT_NEAR(bridged(c.changes).f32(c.word), c.value, std::fabs(c.value) * 1e-4f + 1e-4f)
        << "word " << c.word << ", case " << i;
  }

  struct {
    Refs changes;
    xplane::Settings settings;
    int word;
    std::uint32_t bits;
  } words[] = {
      {{}, {}, 17, 0},
      {{{LandingLights, 1}}, {}, 17, 2},
      {{}, {10, false}, 40, 0x0a000000u},  // --sd-page 10
      {{}, {}, 221, 0x2000},               // airborne, doors closed
      {{}, {0, true}, 221, 0},             // --doors-open
      {{{OnGroundLeft, 1}}, {}, 221, 0x2002},
      {{{StallWarning, 1}}, {}, 221, 0x2004},
      {{{OverspeedWarning, 1}}, {}, 221, 0x2008},
      {{{OilPressureRight, 5}}, {}, 221, 0x2400},
  };
  for (std::size_t i = 0; i < std::size(words); ++i)
    EXPECT_EQ(bridged(words[i].changes, words[i].settings).u32(words[i].word), words[i].bits)
        << "word " << words[i].word << ", case " << i;
}

// The table in the README is the table in the code.
TEST(XPlane, ReadmeNamesEveryDataref) {
  std::ifstream in(std::string(A320_SOURCE_DIR) + "/README.md");
  std::ostringstream text;
  text << in.rdbuf();
  for (const xplane::RefSpec& r : xplane::datarefs())
    EXPECT_NE(text.str().find(std::string("`") + r.path + "`"), std::string::npos) << r.path;
}

TEST(XPlane, RequestBytes) {
  const auto r = xplane::request(30, 0x01020304, "sim/time/zulu_time_sec");
  ASSERT_EQ(r.size(), 413u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.data()), 5), std::string("RREF\0", 5));
  EXPECT_EQ(int32At(&r[5]), 30u);
  EXPECT_EQ(int32At(&r[9]), 0x01020304u);
  EXPECT_EQ(r[9], 0x04);  // little-endian
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[13])), "sim/time/zulu_time_sec");
  for (std::size_t i = 13 + 22; i < r.size(); ++i) ASSERT_EQ(r[i], 0) << i;
  // Too long a path still ends in a NUL.
  EXPECT_EQ(xplane::request(0, 1, std::string(500, 'x'))[412], 0);
}

TEST(XPlane, AnswersAreTakenWholeOrNotAtAll) {
  const Bytes good = rrefAnswer({{7, 250.0f}, {10, 35000.0f}});
  std::vector<std::pair<int, float>> pairs;
  std::string error;
  ASSERT_TRUE(xplane::parseAnswer(good, pairs, error)) << error;
  EXPECT_EQ(pairs, (std::vector<std::pair<int, float>>{{7, 250.0f}, {10, 35000.0f}}));

  Bytes wrongHeader = good, oddLength = good;
  wrongHeader[1] = 'P';
  oddLength.push_back(0);
  struct {
    Bytes datagram;
    const char* error;
  } cases[] = {
      {{}, "no RREF answer"},
      {{'R', 'R', 'E'}, "no RREF answer"},
      {wrongHeader, "no RREF answer"},
      {oddLength, "not whole index/value pairs"},
      {Bytes(good.begin(), good.end() - 4), "not whole index/value pairs"},
      {rrefAnswer({}), "without values"},
      {rrefAnswer({{7, 250.0f}, {-1, 1.0f}}), "index -1"},
      {rrefAnswer({{7, 250.0f}, {xplane::kRefCount, 1.0f}}), "index 54"},
      {rrefAnswer({{7, 250.0f}, {10, NAN}}), "altitude_ft_pilot is not a reading"},
      {rrefAnswer({{7, INFINITY}}), "airspeed_kts_pilot is not a reading"},
      {rrefAnswer({{7, 2e9f}}), "is not a reading"},
  };
  for (const auto& c : cases) {
    pairs = {{99, 1.0f}};
    EXPECT_FALSE(xplane::parseAnswer(c.datagram, pairs, error)) << c.error;
    EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
    EXPECT_EQ(pairs.size(), 1u) << "a refused answer gives nothing";
  }
}

TEST(XPlane, Beacons) {
  xplane::Beacon b;
  std::string error;
  ASSERT_TRUE(xplane::parseBeacon(becn(49010), b, error)) << error;
  EXPECT_EQ(b.port, 49010);
  EXPECT_EQ(b.version, 120100);
  EXPECT_EQ(b.computer, "sim-pc");
  const Bytes whole = becn(49000);
  Bytes majorTwo = whole;
  majorTwo[5] = 2;
  struct {
    Bytes datagram;
    const char* error;
  } cases[] = {
      {Bytes(whole.begin(), whole.begin() + 20), "not an X-Plane beacon"},
      {rrefAnswer({{1, 1.0f}, {2, 2.0f}, {3, 3.0f}}), "not an X-Plane beacon"},
      {majorTwo, "major version 2"},
      {becn(49000, 2), "another program"},  // Plane Maker
      {becn(49000, 1, 2), "not the master"},  // an external visual
      {becn(0), "without a port"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(xplane::parseBeacon(c.datagram, b, error)) << c.error;
    EXPECT_NE(error.find(c.error), std::string::npos) << "got: " << error;
  }
}

// Subscriptions, silence and restarts over time, without a network.
TEST(XPlane, LinkFollowsWhetherXPlaneAnswers) {
  std::vector<std::pair<int, float>> first, rest;
  for (int i = 0; i < xplane::kRefCount; ++i) (i < 20 ? first : rest).emplace_back(i, float(i));
  const Bytes half = rrefAnswer(first), all = rrefAnswer([&] {
    auto a = first;
    a.insert(a.end(), rest.begin(), rest.end());
    return a;
  }());
  enum Do { Tick, TakeHalf, TakeAll, TakeBad, Restart };
  struct {
    int ms;
    Do what;
    bool subscribe, live;
    const char* note;
  } steps[] = {
      {0, Tick, true, false, ""},         // subscribes at once
      {500, Tick, false, false, ""},
      {1000, TakeHalf, false, false, ""}, // part of the answer: not yet
      {1010, Tick, false, false, "X-Plane answers"},
      {1020, TakeAll, false, true, ""},
      {1030, TakeBad, false, true, ""},
      {2000, Tick, false, true, ""},
      {2030, Tick, true, false, "went silent"},  // 1.01 s without an answer
      {3000, Tick, false, false, ""},
      {4030, Tick, true, false, ""},      // and again every 2 s
      {4100, TakeAll, false, true, ""},
      {4110, Tick, false, true, "answers again"},
      {4120, Restart, false, false, ""},  // another X-Plane
      {4130, Tick, true, false, ""},
      {4200, TakeHalf, false, false, ""},
      {5100, Tick, false, false, "X-Plane answers"},
      {5200, Tick, false, true, "no value for 34 datarefs"},  // the grace ran out
      {5300, Restart, false, false, ""},
      {5310, Tick, true, false, ""},
      {10310, Tick, true, false, "no answer from X-Plane yet"},  // what to check
      {14310, Tick, true, false, ""},                           // said once
  };
  xplane::Link link;
  const auto t0 = xplane::Link::Clock::now();
  for (const auto& s : steps) {
    const auto now = t0 + std::chrono::milliseconds(s.ms);
    SCOPED_TRACE(testing::Message() << "at " << s.ms << " ms");
    std::string error, notes;
    bool subscribe = false;
    switch (s.what) {
      case Tick: {
        const auto step = link.tick(now);
        subscribe = step.subscribe;
        for (const auto& n : step.notes) notes += n + "\n";
        break;
      }
      case TakeHalf: EXPECT_TRUE(link.take(half, now, error)) << error; break;
      case TakeAll: EXPECT_TRUE(link.take(all, now, error)) << error; break;
      case TakeBad: {
        const auto before = link.values();
        EXPECT_FALSE(link.take(rrefAnswer({{0, 99.0f}, {1, NAN}}), now, error));
        EXPECT_EQ(link.values(), before);
        break;
      }
      case Restart: link.restart(); break;
    }
    EXPECT_EQ(subscribe, s.subscribe);
    EXPECT_EQ(link.live(now), s.live);
    if (*s.note) {
      EXPECT_NE(notes.find(s.note), std::string::npos) << notes;
    } else {
      EXPECT_EQ(notes, "");
    }
  }
}

// ---- the bridge against a fake X-Plane, over loopback

struct Display {
  Display() : port(freeUdpPort()) { EXPECT_TRUE(receiver.open(port, "127.0.0.1")); }
  ~Display() { receiver.close(); }
  // The blocks that arrive within the time.
  std::vector<FlightDataBlock> during(std::chrono::milliseconds time) {
    std::vector<FlightDataBlock> got;
    const auto end = std::chrono::steady_clock::now() + time;
    FlightDataBlock b;
    while (std::chrono::steady_clock::now() < end)
      if (receiver.receive(b.bytes.data(), b.bytes.size(), 20)) got.push_back(b);
    return got;
  }
  RecordingSink sink;
  std::uint16_t port;
  UdpReceiver receiver;
};

std::vector<std::string> xplaneArgs(const FakeXPlane& x, const Display& d) {
  return {"--xplane", "127.0.0.1:" + std::to_string(x.port()), "--port", std::to_string(d.port)};
}

bool waitFor(const std::function<bool()>& ready, std::chrono::milliseconds limit = 3s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(XPlaneBridge, SubscribesSendsThirtyBlocksASecondAndUnsubscribes) {
  FakeXPlane xp;
  xp.set("sim/cockpit2/gauges/indicators/airspeed_kts_pilot", 250);
  Display display;
  BridgeProcess bridgeProcess(xplaneArgs(xp, display));
  ASSERT_TRUE(waitFor([&] { return xp.subscriptions() == std::size_t(xplane::kRefCount); }))
      << bridgeProcess.output();
  const auto requests = xp.requests();
  for (int i = 0; i < xplane::kRefCount; ++i) {
    SCOPED_TRACE(requests[std::size_t(i)].path);
    EXPECT_TRUE(requests[std::size_t(i)].wellFormed);
    EXPECT_EQ(requests[std::size_t(i)].frequency, 30);
    EXPECT_EQ(requests[std::size_t(i)].index, i);
    EXPECT_EQ(requests[std::size_t(i)].path, xplane::datarefs()[std::size_t(i)].path);
  }
  display.during(300ms);  // settling
  const auto blocks = display.during(2000ms);
  EXPECT_GE(blocks.size(), 50u);
  EXPECT_LE(blocks.size(), 66u);
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks.back().f32(25), 250.0f);

  EXPECT_EQ(bridgeProcess.stop(), 0);
  const std::string out = bridgeProcess.output();
  EXPECT_NE(out.find("asking X-Plane at 127.0.0.1:" + std::to_string(xp.port())), std::string::npos) << out;
  EXPECT_NE(out.find("X-Plane answers"), std::string::npos) << out;
  EXPECT_NE(out.find("refused 0 datagrams"), std::string::npos) << out;
  ASSERT_TRUE(waitFor([&] { return xp.subscriptions() == 0; })) << "no unsubscription on exit";
  EXPECT_EQ(xp.requests().back().frequency, 0);
}

// Nothing X-Plane sends makes the bridge fall over or show a value that
// came in a malformed datagram; while X-Plane is silent no blocks go out,
// and after a restart the bridge subscribes again.
TEST(XPlaneBridge, SurvivesMalformedAnswersSilenceAndRestart) {
  FakeXPlane xp;
  const std::string airspeed = "sim/cockpit2/gauges/indicators/airspeed_kts_pilot";
  xp.set(airspeed, 250);
  Display display;
  BridgeProcess bridgeProcess(xplaneArgs(xp, display));
  ASSERT_TRUE(waitFor([&] { return !display.during(50ms).empty(); })) << bridgeProcess.output();

  // Each carries 999 kt for the airspeed (index 7) beside its fault.
  const Bytes valid = rrefAnswer({{7, 999.0f}});
  std::vector<Bytes> malformed = {
      Bytes(valid.begin(), valid.begin() + 3),       // short
      Bytes{'R', 'P', 'O', 'S', ',', 7, 0, 0, 0},     // wrong header
      rrefAnswer({{7, 999.0f}, {10, NAN}}),           // NaN
      rrefAnswer({{7, 999.0f}, {900, 1.0f}}),         // unknown index
      rrefAnswer({{7, 999.0f}, {10, -INFINITY}}),
  };
  Bytes odd = valid;
  odd.insert(odd.end(), {1, 2, 3});  // odd pair count
  malformed.push_back(odd);
  std::vector<FlightDataBlock> seen;
  for (int round = 0; round < 5; ++round)
    for (const Bytes& m : malformed) {
      xp.sendRaw(m);
      for (const auto& b : display.during(15ms)) seen.push_back(b);
    }
  for (const auto& b : display.during(300ms)) seen.push_back(b);
  EXPECT_GT(seen.size(), 10u) << "blocks stopped";
  for (const auto& b : seen) ASSERT_EQ(b.f32(25), 250.0f) << "a block came from a malformed datagram";

  // Silent: within the silence limit and a tick the blocks stop.
  xp.setAnswering(false);
  const std::size_t subscriptionsBefore = xp.requests().size();
  display.during(1600ms);
  EXPECT_TRUE(display.during(1200ms).empty()) << "blocks while X-Plane is silent";
  EXPECT_GT(xp.requests().size(), subscriptionsBefore) << "no new subscription while silent";

  // A restarted X-Plane knows nobody until the bridge subscribes again.
  xp.set(airspeed, 180);
  xp.restart();
  ASSERT_TRUE(waitFor([&] { return xp.subscriptions() == std::size_t(xplane::kRefCount); }, 3s));
  const auto again = display.during(1500ms);
  ASSERT_FALSE(again.empty()) << "no blocks after X-Plane came back";
  EXPECT_EQ(again.back().f32(25), 180.0f);

  EXPECT_EQ(bridgeProcess.stop(), 0);
  const std::string out = bridgeProcess.output();
  EXPECT_NE(out.find("refused 30 datagrams"), std::string::npos) << out;
  EXPECT_NE(out.find("went silent"), std::string::npos) << out;
  EXPECT_NE(out.find("answers again"), std::string::npos) << out;
}

// X-Plane's beacon goes to a fixed group and port, so this test takes a
// network of its own (a user namespace with only loopback): it neither
// needs nor disturbs the machine's network, and no other test shares it.
TEST(XPlaneBridge, FindsXPlaneByItsBeacon) {
  if (!std::getenv("A320_OWN_NETWORK")) {
    const ToolRun probe = runCommand("unshare -rn true");
    if (probe.code != 0) GTEST_SKIP() << "this kernel refuses a network namespace of our own: " << probe.output;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    const ToolRun r = runCommand(
        "unshare -rn sh -c 'ip link set lo up && ip route add 224.0.0.0/4 dev lo && A320_OWN_NETWORK=1 exec \"" + self +
        "\" --gtest_filter=XPlaneBridge.FindsXPlaneByItsBeacon'");
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("[  PASSED  ] 1 test"), std::string::npos) << r.output;
    return;
  }
  FakeXPlane xp;
  xp.set("sim/cockpit2/gauges/indicators/altitude_ft_pilot", 4321);
  Display display;
  BridgeProcess bridgeProcess({"--xplane", "--port", std::to_string(display.port)});
  // From 127.0.0.1, as X-Plane's come from its own address.
  const int beacon = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(beacon, reinterpret_cast<sockaddr*>(&self), sizeof self), 0);
  sockaddr_in group{};
  group.sin_family = AF_INET;
  group.sin_port = htons(xplane::kBeaconPort);
  inet_pton(AF_INET, xplane::kBeaconGroup, &group.sin_addr);
  auto announce = [&](const Bytes& b) {
    ::sendto(beacon, b.data(), b.size(), 0, reinterpret_cast<sockaddr*>(&group), sizeof group);
  };
  // Plane Maker and an external visual announce themselves too; only the
  // master X-Plane counts.
  EXPECT_TRUE(waitFor([&] {
    announce(becn(std::uint16_t(xp.port() + 1), 2));
    announce(becn(std::uint16_t(xp.port() + 2), 1, 2));
    announce(becn(xp.port()));
    return xp.subscriptions() == std::size_t(xplane::kRefCount);
  })) << bridgeProcess.output();
  const auto blocks = display.during(300ms);
  ASSERT_FALSE(blocks.empty()) << bridgeProcess.output();
  EXPECT_EQ(blocks.back().f32(29), 4321.0f);
  ::close(beacon);
  EXPECT_EQ(bridgeProcess.stop(), 0);
  const std::string out = bridgeProcess.output();
  EXPECT_NE(out.find("waiting for X-Plane's beacon on 239.255.1.1:49707"), std::string::npos) << out;
  EXPECT_NE(out.find("found X-Plane 120100 on sim-pc"), std::string::npos) << out;
  EXPECT_NE(out.find("ignored a beacon of another program than X-Plane"), std::string::npos) << out;
  EXPECT_NE(out.find("ignored a beacon of an X-Plane that is not the master"), std::string::npos) << out;
}

}  // namespace
