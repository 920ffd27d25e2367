#include "bridge.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <bit>
#include <cstdio>
#include <fstream>
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

FlightDataBlock bridged(const std::map<std::string, double>& changes) {
  std::map<std::string, double> values = kCruise;
  for (const auto& [k, v] : changes) values[k] = v;
  bridge::Packet p;
  std::string error;
  EXPECT_TRUE(bridge::parsePacket(packet(values), p, error)) << error;
  FlightDataBlock b;
  bridge::composeBlock(p, {}, b);
  return b;
}

TEST(Bridge, ShipsTheProtocolItReads) {
  EXPECT_EQ(shippedProtocol(), bridge::protocolXml()) << "regenerate with a320-bridge --protocol";
  const auto& f = bridge::fields();
  ASSERT_EQ(chunks().size(), f.size());
  for (std::size_t i = 0; i < f.size(); ++i) {
    EXPECT_EQ(int(f[i].field), int(i)) << f[i].name << " sits out of order";
    EXPECT_EQ(chunks()[i].name, f[i].name);
  }
}

TEST(Bridge, PacketsToWords) {
  struct {
    std::map<std::string, double> changes;
    int word;
    float value;
  } floats[] = {
      {{}, 2, 14},
      {{}, 3, 5},
      {{}, 4, 30},
      {{}, 5, 1234.5f},
      {{}, 7, -40},
      {{{"sat", -40}, {"mach", 0.78}}, 8, ((233.15f * (1 + 0.2f * 0.78f * 0.78f)) - 273.15f) / 250.0f},
      {{{"mach", 0}}, 8, -40.0f / 250.0f},
      {{}, 14, 275.5f},
      // The standby horizon's sense: positive nose down, positive left wing down.
      {{}, 22, -2.5f},
      {{}, 23, 10},
      {{}, 25, 280},
      {{}, 27, 280 * 128.0f},
      {{{"mach", 0.6}}, 28, 12288},  // the upper counter reads 0.6
      {{}, 29, 35000},
      {{{"vertical-speed", 25}}, 30, 1950.72f},  // 1500 fpm
      {{}, 31, 29.92f},
      {{}, 32, 1013.21f},
      {{{"flaps", 0.5}}, 37, 20},
      {{{"flaps", 1.5}}, 37, 40},
      {{{"brake-left", 0.5}, {"brake-right", 0.25}}, 41, 8192},
      // Needle 1 takes the station's bearing from the nose (heading 275.5).
      {{}, 64, 24.5f},
      {{{"nav1-bearing", 0}}, 64, 84.5f},
      {{{"nav1-bearing", 275.5}}, 64, 360},  // dead ahead, not parked
      {{{"nav1-bearing", 275.0}}, 64, 359.5f},
      {{{"nav1-bearing", 359.99}, {"heading", 0}}, 64, 359.99f},
      {{{"nav1-in-range", 0}}, 64, 0},
      {{}, 62, 1},
      {{{"nav2-in-range", 0}}, 62, 0},
      {{}, 75, 16384},
      {{}, 104, 1},  // no autobrake set: OFF
      {{{"autobrake", 1}}, 104, 2},
      {{{"autobrake", 2}}, 104, 3},
      {{{"autobrake", 3}}, 104, 0},
      {{{"autobrake", 9}}, 104, 1},
      {{}, 105, 20000},
      {{}, 112, 2600},
      {{}, 113, 2500},
      {{}, 120, 2600},
      {{}, 170, 2500},
      {{}, 123, 60 * 423.0f},
      {{}, 173, 58 * 423.0f},
      {{}, 124, 10000},  // 212 F is 100 C
      {{}, 126, 18000000},
      {{}, 176, 17800000},
      {{}, 129, 85 * 163.84f},
      {{}, 130, 90 * 163.84f},
      {{}, 179, 84 * 163.84f},
      {{}, 180, 89 * 163.84f},
      {{}, 141, 0.85f * 16384},
      {{}, 191, 0.84f * 16384},
      {{}, 148, 90},
      {{}, 198, 89},
      {{}, 158, 1459.67f},
      {{}, 208, 1449.67f},
      {{{"parking-brake", 1}}, 161, 1},
      {{{"elevator", -0.25}}, 163, 0.25f},  // stick back: elevators up
      {{{"aileron", 0.5}}, 164, 0.5f},
      {{}, 211, 0},
      {{{"spoilers-armed", 1}}, 211, 4800},
      {{{"speedbrake", 0.25}}, 211, 8283},
      {{{"speedbrake", 0.5}, {"spoilers-armed", 1}}, 211, 10983},
      {{{"speedbrake", 0.7}}, 211, 13683},
      {{{"speedbrake", 1}}, 211, 16383},
      {{{"elevator-trim", -1}}, 213, 13.5f / 49.876f},  // nose up: 13.5 UP
      {{{"elevator-trim", 1}}, 213, -4.0f / 49.8f},
      {{{"elevator-trim", 5}}, 213, -4.0f / 49.8f},
      {{}, 215, 0},
      {{{"gear-down", 1}}, 215, 16384},
      {{{"gear0-position", 1}}, 216, 16384},
      {{{"gear1-position", 0.5}}, 217, 8192},
      {{{"gear2-position", 0.25}}, 218, 4096},
      {{{"height-agl", 1000}}, 219, 304.8f},
      {{{"groundspeed", 100}}, 227, 51.44445f},
  };
  for (const auto& c : floats)
    EXPECT_NEAR(bridged(c.changes).f32(c.word), c.value, std::fabs(c.value) * 1e-4f + 1e-4f) << "word " << c.word;

  struct {
    std::map<std::string, double> changes;
    int word;
    std::uint32_t bits;
  } words[] = {
      {{}, 17, 0},
      {{{"landing-lights", 1}}, 17, 2},
      {{{"checklist-button", 0x90}}, 39, 0x90000000u},
      {{{"checklist-button", 300}}, 39, 0xff000000u},
      {{}, 40, 0},
      {{{"sd-page", 12}}, 40, 0x0c000000u},
      {{{"sd-page", 99}}, 40, 0x0f000000u},
      {{{"sd-page", -3}}, 40, 0},
      {{}, 48, 0},
      {{{"gear-down", 1}}, 48, 128},                       // approach: gear down in the air
      {{{"gear-down", 1}, {"gear1-wow", 1}}, 48, 0},       // not on the ground
      {{}, 221, 0x2000},                                    // airborne, doors closed
      {{{"doors-open", 1}}, 221, 0},
      {{{"gear0-wow", 1}}, 221, 0x2002},
      {{{"gear2-wow", 1}, {"height-agl", 0}}, 221, 0x2002},
      {{{"height-agl", 50}}, 221, 0x2001},                  // low, in the air
      {{{"stall-warning", 1}}, 221, 0x2004},
      {{{"overspeed", 1}}, 221, 0x2008},
      {{{"oil-pressure-right", 5}}, 221, 0x2400},           // low oil on a running engine
      {{{"oil-pressure-right", 5}, {"n2-right", 10}}, 221, 0x2000},  // engine stopped
  };
  for (const auto& c : words) EXPECT_EQ(bridged(c.changes).u32(c.word), c.bits) << "word " << c.word;
}

TEST(Bridge, RefusesMalformedPacketsAndKeepsThePrevious) {
  const std::string good = packet(kCruise);
  const std::string fields = good.substr(0, good.size() - 1);
  const std::string noLast = fields.substr(0, fields.rfind(','));
  std::string withNul = good;
  withNul[3] = '\0';
  std::string huge(bridge::kMaxPacketBytes + 1, '1');
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
    bridge::Packet p;
    p.fill(7.0);
    std::string error;
    EXPECT_FALSE(bridge::parsePacket(c.text, p, error)) << c.text.substr(0, 60);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text.substr(0, 60) << "\n  got: " << error;
    for (double v : p) ASSERT_EQ(v, 7.0) << "a refused packet changes nothing";
  }
  bridge::Packet p;
  std::string error;
  EXPECT_TRUE(bridge::parsePacket(fields, p, error)) << "the newline is optional: " << error;
  EXPECT_TRUE(bridge::parsePacket(fields + "\r\n", p, error)) << error;

  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    std::string text = round % 3 ? good : std::string();
    const int n = int(random() % 80);
    for (int i = 0; i < n; ++i) {
      if (!text.empty() && random() % 2) text[random() % text.size()] = char(random() % 256);
      else text += char(random() % 256);
    }
    if (bridge::parsePacket(text, p, error)) {
      FlightDataBlock b;
      bridge::composeBlock(p, {}, b);
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
