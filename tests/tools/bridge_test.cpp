#include "compose.h"
#include "flightgear.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "host/udp_receiver.h"
#include "support/loopback.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

std::string shippedProtocol() {
  std::ifstream in(std::string(A320_SOURCE_DIR) + "/flightgear/a320-display.xml");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Chunk {
  std::string name, type, format;
};

std::string tag(const std::string& xml, const std::string& name) {
  const auto begin = xml.find("<" + name + ">");
  const auto end = xml.find("</" + name + ">");
  if (begin == std::string::npos || end == std::string::npos || end < begin) return {};
  return xml.substr(begin + name.size() + 2, end - begin - name.size() - 2);
}

// The chunks as FlightGear reads them from the shipped file.
std::vector<Chunk> chunks() {
  const std::string xml = shippedProtocol();
  std::vector<Chunk> out;
  for (std::size_t at = xml.find("<chunk>"); at != std::string::npos; at = xml.find("<chunk>", at + 1)) {
    const std::string chunk = xml.substr(at, xml.find("</chunk>", at) - at);
    out.push_back({tag(chunk, "name"), tag(chunk, "type"), tag(chunk, "format")});
  }
  return out;
}

// A packet the way FlightGear's generic protocol prints one record: each
// chunk through its format (ints and bools as integers), "," between,
// a newline after.
std::string packet(const std::map<std::string, double>& values) {
  std::string line;
  for (const Chunk& c : chunks()) {
    const auto it = values.find(c.name);
    const double v = it == values.end() ? 0.0 : it->second;
    char buf[64];
    if (c.type == "int" || c.type == "bool")
      std::snprintf(buf, sizeof buf, c.format.c_str(), int(v));
    else
      std::snprintf(buf, sizeof buf, c.format.c_str(), v);
    if (!line.empty()) line += ',';
    line += buf;
  }
  return line + "\n";
}

const std::map<std::string, double> kCruise = {
    {"utc-hour", 14}, {"utc-minute", 5}, {"utc-second", 30}, {"elapsed", 1234.5}, {"sat", -40}, {"mach", 0.78},
    {"heading", 275.5}, {"pitch", 2.5}, {"roll", -10}, {"ias", 280}, {"target-speed", 280}, {"altitude", 35000},
    {"vertical-speed", 0}, {"setting-inhg", 29.92}, {"fuel", 20000}, {"n1-left", 85}, {"n2-left", 90},
    {"egt-left", 1000}, {"fuel-flow-left", 2600}, {"oil-pressure-left", 60}, {"oil-temperature-left", 212},
    {"throttle-left", 0.85}, {"n1-right", 84}, {"n2-right", 89}, {"egt-right", 990}, {"fuel-flow-right", 2500},
    {"oil-pressure-right", 58}, {"oil-temperature-right", 210}, {"throttle-right", 0.84}, {"height-agl", 34000},
    {"groundspeed", 450}, {"nav1-bearing", 300}, {"nav1-in-range", 1}, {"nav2-bearing", 90}, {"nav2-in-range", 1},
};

bridge::AircraftState state(const std::map<std::string, double>& changes) {
  std::map<std::string, double> values = kCruise;
  for (const auto& [k, v] : changes) values[k] = v;
  flightgear::Packet p;
  std::string error;
  EXPECT_TRUE(flightgear::parsePacket(packet(values), p, error)) << error;
  bridge::AircraftState s;
  flightgear::toState(p, s);
  return s;
}

FlightDataBlock bridged(const std::map<std::string, double>& changes) {
  FlightDataBlock b;
  bridge::composeBlock(state(changes), {}, b);
  return b;
}

TEST(Bridge, ShipsTheProtocolItReads) {
  EXPECT_EQ(shippedProtocol(), flightgear::protocolXml()) << "regenerate with a320-bridge --protocol";
  const auto& f = flightgear::fields();
  ASSERT_EQ(chunks().size(), f.size());
  for (std::size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(int(f[i].field), int(i)) << f[i].name << " sits out of order";
    EXPECT_EQ(chunks()[i].name, f[i].name);
  }
}

// FlightGear's units and senses as the aircraft state's; the composition's
// own test takes it from there. Attitude, stick and a station out of range
// are read off the instruments from recorded packets in the replay test.
TEST(Bridge, PacketsToState) {
  using S = bridge::AircraftState;
  using A = bridge::Autobrake;
  struct {
    std::map<std::string, double> changes;
    std::function<double(const S&)> read;
    double value;
  } cases[] = {
      {{{"vertical-speed", 25}}, [](const S& s) { return s.verticalSpeedFpm; }, 1500},
      {{{"egt-left", 1000}}, [](const S& s) { return s.engines[0].egtCelsius; }, 537.7778},
      {{{"oil-temperature-right", 212}}, [](const S& s) { return s.engines[1].oilTemperatureCelsius; }, 100},
      {{{"elevator-trim", 0.5}}, [](const S& s) { return s.pitchTrimNoseUpRatio; }, -0.5},  // nose down
      {{{"nav2-bearing", 91}}, [](const S& s) { return s.nav[1].bearingDegrees; }, 91},
      {{{"gear-down", 1}}, [](const S& s) { return double(s.gearLeverDown); }, 1},
      {{{"gear1-wow", 1}}, [](const S& s) { return double(s.weightOnWheels[1]); }, 1},
      {{{"gear2-position", 0.25}}, [](const S& s) { return s.gearDownRatio[2]; }, 0.25},
      {{{"sd-page", 12}}, [](const S& s) { return double(s.systemPage); }, 12},
      {{{"sd-page", 99}}, [](const S& s) { return double(s.systemPage); }, 15},
      {{{"sd-page", -3}}, [](const S& s) { return double(s.systemPage); }, 0},
      {{{"checklist-button", 300}}, [](const S& s) { return double(s.checklistButton); }, 255},
      {{{"autobrake", 0}}, [](const S& s) { return double(s.autobrake); }, double(A::Off)},
      {{{"autobrake", 1}}, [](const S& s) { return double(s.autobrake); }, double(A::Low)},
      {{{"autobrake", 2}}, [](const S& s) { return double(s.autobrake); }, double(A::Medium)},
      {{{"autobrake", 3}}, [](const S& s) { return double(s.autobrake); }, double(A::Rto)},
      {{{"autobrake", 9}}, [](const S& s) { return double(s.autobrake); }, double(A::Off)},
      {{{"spoilers-armed", 1}}, [](const S& s) { return double(s.spoilersArmed); }, 1},
      {{{"doors-open", 1}}, [](const S& s) { return double(s.doorsOpen); }, 1},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(c.read(state(c.changes)), c.value, 1e-4) << c.changes.begin()->first;
}

TEST(Bridge, RefusesMalformedPacketsAndKeepsThePrevious) {
  const std::string good = packet(kCruise);
  const std::string fields = good.substr(0, good.size() - 1);
  const std::string noLast = fields.substr(0, fields.rfind(','));
  std::string withNul = good;
  withNul[3] = '\0';
  std::string huge(flightgear::kMaxPacketBytes + 1, '1');
  struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"", "empty packet"},
      {"\n", "field 1 (utc-hour) is not a number"},
      {noLast + "\n", "57 fields where the protocol has 58"},
      {fields + ",1\n", "more than the 58 fields"},
      {fields + ",\n", "more than the 58 fields"},
      {"abc" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {"14,5,30,12x" + good.substr(good.find(',', good.find(',', good.find(',', good.find(',') + 1) + 1) + 1)),
       "field 4 (elapsed) is not a number"},
      {"nan" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {"inf" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {"0x10" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {"1e300" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {" 14" + good.substr(2), "field 1 (utc-hour) is not a number"},
      {",," + good, "field 1 (utc-hour) is not a number"},
      {withNul, "field 2 (utc-minute) is not a number"},
      {huge, "packet of 4097 bytes"},
      {good + "\n", "field 58"},
  };
  for (const auto& c : cases) {
    flightgear::Packet p;
    p.fill(7.0);
    std::string error;
    EXPECT_FALSE(flightgear::parsePacket(c.text, p, error)) << c.text.substr(0, 60);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text.substr(0, 60) << "\n  got: " << error;
    for (double v : p) ASSERT_EQ(v, 7.0) << "a refused packet changes nothing";
  }
  flightgear::Packet p;
  std::string error;
  EXPECT_TRUE(flightgear::parsePacket(fields, p, error)) << "the newline is optional: " << error;
  EXPECT_TRUE(flightgear::parsePacket(fields + "\r\n", p, error)) << error;

  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    std::string text = round % 3 ? good : std::string();
    const int n = int(random() % 80);
    for (int i = 0; i < n; ++i) {
      if (!text.empty() && random() % 2) text[random() % text.size()] = char(random() % 256);
      else text += char(random() % 256);
    }
    if (flightgear::parsePacket(text, p, error)) {
      bridge::AircraftState st;
      flightgear::toState(p, st);
      FlightDataBlock b;
      bridge::composeBlock(st, {}, b);
    }
  }
}

TEST(BridgeTool, ForwardsOneBlockPerPacket) {
  RecordingSink sink;
  const std::uint16_t display = freeUdpPort(), listen = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(display, "127.0.0.1"));
  const std::string cmd = std::string(A320_TOOLS_DIR) + "/a320-bridge --listen-port " + std::to_string(listen) +
                          " --port " + std::to_string(display) + " --count 2 --set 40=#0x05000000 2>&1";
  std::FILE* tool = ::popen(cmd.c_str(), "r");
  ASSERT_NE(tool, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, tool), nullptr);  // listening
  EXPECT_NE(std::string(line).find("listening on port"), std::string::npos) << line;
  LoopbackSender fg(listen);
  std::map<std::string, double> climb = kCruise;
  climb["ias"] = 250;
  const std::string packets[] = {"garbage\n", packet(kCruise), std::string(5000, ','), packet(climb)};
  for (const std::string& p : packets) {
    EXPECT_TRUE(fg.send(p.data(), p.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::string output;
  while (std::fgets(line, sizeof line, tool)) output += line;
  EXPECT_EQ(WEXITSTATUS(::pclose(tool)), 0) << output;
  EXPECT_NE(output.find("sent 2 blocks, refused 2 packets"), std::string::npos) << output;
  EXPECT_NE(output.find("refused a packet: field 1 (utc-hour) is not a number"), std::string::npos) << output;
  std::vector<FlightDataBlock> got;
  FlightDataBlock b;
  while (r.receive(b.bytes.data(), b.bytes.size(), 200)) got.push_back(b);
  ASSERT_EQ(got.size(), 2u);
  FlightDataBlock expected = bridged({});
  expected.setU32(40, 0x05000000u);
  EXPECT_EQ(got[0].bytes, expected.bytes);
  EXPECT_EQ(got[1].f32(25), 250.0f);
  r.close();
}

}  // namespace
