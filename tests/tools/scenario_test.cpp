#include "scenario.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <sstream>

namespace {

scenario::Scenario parsed(const std::string& text) {
  scenario::Scenario s;
  std::string error;
  EXPECT_TRUE(scenario::parse(text, "t.scenario", s, error)) << error;
  return s;
}

FlightDataBlock at(const scenario::Scenario& s, double t) {
  FlightDataBlock b;
  s.sample(t, b);
  return b;
}

TEST(Scenario, GoodLines) {
  struct {
    const char* text;
    double time;
    int word;
    std::uint32_t bits;
  } cases[] = {
      {"0 25=140", 0, 25, std::bit_cast<std::uint32_t>(140.0f)},
      {"  2.5\t29=-12.25   # comment", 2.5, 29, std::bit_cast<std::uint32_t>(-12.25f)},
      {"1:30 221=#0x2002", 90, 221, 0x2002},
      {"0:05.5 40=#117440512", 5.5, 40, 0x07000000},
      {"3 17.1=1", 3, 17, 2},
      {"3 17.31=1", 3, 17, 0x80000000u},
      {"0 255:=1e3", 0, 255, std::bit_cast<std::uint32_t>(1000.0f)},
      {"0 0=#4294967295", 0, 0, 0xffffffffu},
      {"1 5=1\r", 1, 5, std::bit_cast<std::uint32_t>(1.0f)},
      {"# header\n\n+4 7=-0", 4, 7, 0x80000000u},
  };
  for (const auto& c : cases) {
    const scenario::Scenario s = parsed(c.text);
    EXPECT_EQ(s.endTime, c.time) << c.text;
    EXPECT_EQ(at(s, c.time).u32(c.word), c.bits) << c.text;
    EXPECT_EQ(at(s, c.time + 100).u32(c.word), c.bits) << c.text << ": holds after its last key";
  }
}

TEST(Scenario, BadLinesNameTheLine) {
  struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"0 25=1\nabc 25=2", "t.scenario:2: a line starts with its time"},
      {"-1 25=1", "t.scenario:1: a line starts with its time"},
      {"nan 25=1", "t.scenario:1: a line starts"},
      {"1e8 25=1", "t.scenario:1: time 1e+08 s is past"},
      {"1:60 25=1", "t.scenario:1: time '1:60' is not M:SS"},
      {"x:10 25=1", "t.scenario:1: time 'x:10' is not M:SS"},
      {"0 25", "t.scenario:1: '25' is not WORD=VALUE"},
      {"0 =5", "t.scenario:1: '=5' is not WORD=VALUE"},
      {"0 256=1", "t.scenario:1: word '256' is not 0 to 255"},
      {"0 -1=1", "t.scenario:1: word '-1' is not 0 to 255"},
      {"0 2x=1", "t.scenario:1: word '2x' is not 0 to 255"},
      {"0 17.32=1", "t.scenario:1: bit '32' of word 17 is not 0 to 31"},
      {"0 17.1=2", "t.scenario:1: bit 1 of word 17 wants 0 or 1"},
      {"0 25=fast", "t.scenario:1: 'fast' is not a number"},
      {"0 25=", "t.scenario:1: '' is not a number"},
      {"0 221=#", "t.scenario:1: '#' is not an unsigned 32-bit integer"},
      {"0 221=#-1", "t.scenario:1: '#-1' is not an unsigned"},
      {"0 221=#4294967296", "t.scenario:1: '#4294967296' is not an unsigned"},
      {"0 221=#0x2\n1 221.3=1", "t.scenario:2: word 221 is set whole on line 1"},
      {"0 221.3=1\n1 221=#0x2", "t.scenario:2: word 221 is set bit by bit on line 1"},
      {"0 30=#5\n1 30=2.5", "t.scenario:2: word 30 cannot ramp from the integer of line 1"},
      {"9 30=2.5\n0 30=#5", "t.scenario:1: word 30 cannot ramp from the integer of line 2"},
      {"# only a comment\n", "t.scenario: no lines with a time"},
      {"", "t.scenario: no lines with a time"},
  };
  for (const auto& c : cases) {
    scenario::Scenario s;
    s.endTime = 42;
    std::string error;
    EXPECT_FALSE(scenario::parse(c.text, "t.scenario", s, error)) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << "\n  got: " << error;
    EXPECT_EQ(s.endTime, 42) << "a failed parse leaves the scenario alone";
  }
}

TEST(Scenario, FloatsRampBetweenKeysAndHoldOutside) {
  const scenario::Scenario s = parsed(
      "10 25=100\n"
      "20 25=200\n"
      "30 25:=50\n"
      "40 25=0\n");
  struct {
    double t;
    float expected;
  } cases[] = {{0, 0}, {9.999, 0}, {10, 100}, {12.5, 125}, {19.999, 199.99f}, {20, 200}, {25, 200},
               {29.999, 200}, {30, 50}, {35, 25}, {40, 0}, {1000, 0}};
  for (const auto& c : cases) EXPECT_NEAR(at(s, c.t).f32(25), c.expected, 0.01f) << "t=" << c.t;
  EXPECT_EQ(s.endTime, 40);
}

TEST(Scenario, IntegersAndBitsStep) {
  const scenario::Scenario s = parsed(
      "0 221=#0x2002 17.1=1 40=#0\n"
      "10 221=#0x2000 17.0=1\n"
      "20 17.1=0 40=#0x0c000000\n");
  EXPECT_EQ(at(s, 0).u32(221), 0x2002u);
  EXPECT_EQ(at(s, 9.99).u32(221), 0x2002u) << "integers do not ramp";
  EXPECT_EQ(at(s, 10).u32(221), 0x2000u);
  EXPECT_EQ(at(s, 5).u32(17), 2u);
  EXPECT_EQ(at(s, 15).u32(17), 3u);
  EXPECT_EQ(at(s, 20).u32(17), 1u);
  EXPECT_EQ(at(s, 19.9).u32(40), 0u);
  EXPECT_EQ(at(s, 20).u32(40), 0x0c000000u);
}

TEST(Scenario, TimesAndRepeats) {
  const scenario::Scenario s = parsed(
      "1:00 29=1000\n"
      "+30 29=4000\n"
      "1:30 29=4000 29=5000\n"  // the later value on a line wins
      "+10\n");                 // a bare time only stretches the end
  EXPECT_EQ(at(s, 90).f32(29), 5000.0f);
  EXPECT_NEAR(at(s, 75).f32(29), 3000.0f, 0.01f);
  EXPECT_EQ(s.endTime, 100);
  EXPECT_EQ(s.keyTimes, (std::vector<double>{60, 90}));
  EXPECT_EQ(s.nextKeyTime(0), 60);
  EXPECT_EQ(s.nextKeyTime(60), 90);
  EXPECT_EQ(s.nextKeyTime(95), 100) << "after the last key comes the end";
  EXPECT_EQ(at(s, 0).u32(29), 0u) << "0 before the first key; the first key does not ramp";
}

TEST(Scenario, LinesInAnyOrder) {
  const scenario::Scenario s = parsed(
      "20 29=2000\n"
      "0 29=0 4=0\n"
      "10 29=500\n"
      "10 29=1000\n"  // the later line of one time wins
      "+50 4=60\n");  // relative to the line before
  EXPECT_NEAR(at(s, 5).f32(29), 500.0f, 0.01f);
  EXPECT_NEAR(at(s, 15).f32(29), 1500.0f, 0.01f);
  EXPECT_NEAR(at(s, 30).f32(4), 30.0f, 0.01f);
  EXPECT_EQ(s.endTime, 60);
}

TEST(Scenario, AssignmentsRoundTripExactBits) {
  const std::uint32_t samples[] = {0,          0x80000000u, 0x3f800000u, 0x41480000u, 0xc2c80000u,
                                   0x7fc00000u, 0x7f800000u, 0xff800000u, 0x00000001u, 0x00002002u,
                                   0x0c000000u, 0x90000000u, 0x7f7fffffu, 0x3eaaaaabu, 0xffffffffu};
  for (std::uint32_t bits : samples) {
    const std::string line = "0 " + scenario::formatAssignment(7, bits);
    const scenario::Scenario s = parsed(line);
    EXPECT_EQ(at(s, 0).u32(7), bits) << line;
  }
  EXPECT_EQ(scenario::formatAssignment(221, 0x2002), "221=#0x00002002");
  EXPECT_EQ(scenario::formatAssignment(25, 0x43200000u), "25:=160");
}

TEST(Scenario, RecorderReplaysTheSameBlocks) {
  std::mt19937 random(7);
  std::vector<FlightDataBlock> blocks(40);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (i > 0) blocks[i] = blocks[i - 1];
    if (i % 5 == 3) continue;  // a repeat
    for (int n = 0; n < 6; ++n) blocks[i].setU32(int(random() % 256), random());
    blocks[i].setF32(25, float(i) * 3.5f);
  }
  std::ostringstream text;
  scenario::Recorder rec(text);
  for (std::size_t i = 0; i < blocks.size(); ++i) rec.add(i < 10 ? 0.0 : double(i) / 30.0, blocks[i]);
  rec.finish(2.0);
  EXPECT_EQ(rec.blocks(), 40);
  const scenario::Scenario s = parsed(text.str());
  EXPECT_EQ(s.endTime, 2.0);
  // Each key time holds the block that arrived then, in order.
  std::vector<FlightDataBlock> replayed;
  for (double t : s.keyTimes) replayed.push_back(at(s, t));
  std::vector<FlightDataBlock> distinct;
  for (const FlightDataBlock& b : blocks)
    if (distinct.empty() || b.bytes != distinct.back().bytes) distinct.push_back(b);
  ASSERT_EQ(replayed.size(), distinct.size());
  for (std::size_t i = 0; i < distinct.size(); ++i) EXPECT_EQ(replayed[i].bytes, distinct[i].bytes) << i;
}

TEST(Scenario, AnyBytesParseOrFailWithoutHarm) {
  std::mt19937 random(11);
  const std::string alphabet = "0123456789.:+-=#x #\n\t\r";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int n = int(random() % 200);
    for (int i = 0; i < n; ++i)
      text += round % 2 ? char(random() % 256) : alphabet[random() % alphabet.size()];
    scenario::Scenario s;
    std::string error;
    if (scenario::parse(text, "fuzz", s, error)) {
      FlightDataBlock b;
      s.sample(s.endTime / 2, b);
      EXPECT_LE(s.endTime, 1e7);
    } else {
      EXPECT_EQ(error.rfind("fuzz:", 0), 0u) << error;
    }
  }
}

}  // namespace
