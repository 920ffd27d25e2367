// What every standby instrument shares: the red tint of word 17 bit 0, an
// empty frame while its slot is hidden, and a missing data file reported
// while the other files still load.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "standby/dial_probe.h"
#include "standby/rmi_geometry.h"

using namespace dialprobe;

namespace {

struct Standby {
  const char* name;
  std::int32_t type;
  int side;
  std::vector<std::pair<int, float>> words;
  double tolerance;  // the striped textures filter a little differently once tinted
};

void PrintTo(const Standby& s, std::ostream* os) { *os << s.name; }

const Standby kStandby[] = {
    {"clock", A320_CLOCK, 300, {{2, 12}, {3, 34}, {4, 56}}, 2.5},
    {"airspeed", A320_AIRSPEED, 400, {{25, 257}, {27, 200 * 128}, {28, 3072}}, 2.5},
    {"altimeter", A320_ALTITUDE, 600, {{29, 4321}, {31, 29.92f}, {32, 1013.2f}}, 2.5},
    {"attitude", A320_ATTITUDE, 400, {{22, 5}, {23, 15}, {101, 2}, {103, 1}}, 1.5},
    {"rmi", A320_RMI, 400, {{14, 30}, {64, 45}, {62, 1}, {75, 8192}}, 1.5},
};

FlightDataBlock blockOf(const Standby& s, std::uint32_t word17) {
  FlightDataBlock b;
  for (const auto& [word, value] : s.words) b.setF32(word, value);
  b.setU32(17, word17);
  return b;
}

// Colour channels above `level`, alpha left out.
long channelsAbove(const Frame& f, int level) {
  long n = 0;
  for (std::size_t i = 0; i < f.rgba.size(); ++i) n += i % 4 != 3 && f.rgba[i] > level;
  return n;
}

class StandbyLook : public ::testing::TestWithParam<Standby> {};

TEST_P(StandbyLook, Bit0DarkensEverythingTowardsRedAndNoOtherBitDoesAnything) {
  const Standby& s = GetParam();
  Bench bench(s.type, s.side);
  ASSERT_TRUE(bench.made);
  EXPECT_TRUE(bench.sink.messages.empty());
  const Frame plain = bench.render(blockOf(s, 0)), tinted = bench.render(blockOf(s, 0xffffffffu)),
              otherBits = bench.render(blockOf(s, 0xfffffffeu));
  EXPECT_EQ(plain.rgba, otherBits.rgba);
  int lit = 0;
  for (double y = -0.98; y <= 0.98; y += 0.05)
    for (double x = -0.98; x <= 0.98; x += 0.05) {
      const Rgb p = plain.at(x, y), t = tinted.at(x, y);
      lit += std::max({p.r, p.g, p.b}) > 150;
      EXPECT_NEAR(t.r, p.r * 0.87 + 0.01 * 0.87 * 255, s.tolerance) << x << "," << y;
      EXPECT_NEAR(t.g, p.g * 0.51 + 0.01 * 0.51 * 255, s.tolerance) << x << "," << y;
      EXPECT_NEAR(t.b, p.b * 0.51 + 0.01 * 0.51 * 255, s.tolerance) << x << "," << y;
    }
  EXPECT_GT(lit, 10);  // the probes saw the picture, not just black
}

TEST_P(StandbyLook, HiddenSlotDrawsNothingUntilShown) {
  const Standby& s = GetParam();
  Bench bench(s.type, 64, A320_TEST_DATA_DIR, 0);
  ASSERT_TRUE(bench.made);
  const FlightDataBlock b = blockOf(s, 0);
  const Frame hidden = bench.render(b);
  ASSERT_NE(bench.ow.window->instrument(0), nullptr);  // still loaded
  EXPECT_EQ(channelsAbove(hidden, 0), 0);
  bench.ow.window->setVisible(1, 1);
  const Frame shown = bench.render(b);
  EXPECT_GT(channelsAbove(shown, 100), 50);
}

INSTANTIATE_TEST_SUITE_P(Standby, StandbyLook, ::testing::ValuesIn(kStandby));

// The point at `along` on the ray at `angle` degrees, `across` to its left.
Rgb onRay(const Frame& f, double angle, double along, double across = 0) {
  const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
  return f.at(along * c - across * s, along * s + across * c);
}

TEST(StandbyData, AMissingFileIsReportedAndTheOthersStillLoad) {
  struct {
    std::size_t instrument;  // in kStandby
    const char* missing;
    const char* message;
    std::function<bool(const Frame&)> stillDrawn;  // what the other files draw
  } cases[] = {
      // The face, loaded before the missing file, shows its 120 kt mark.
      {1, "01012004.tex", "A320_AIRSPEED: Error - Data File missing!",
       [](const Frame& f) { return std::abs(angleBetween(markAngle(f, 0.0, 0.80, 0.90), 0.0)) < 0.5; }},
      {2, "01031003.tex", "A320_ALTITUDE: Error - Data File missing!",
       [](const Frame& f) { return std::abs(angleBetween(markAngle(f, 90.0, 0.80, 0.90), 90.0)) < 0.5; }},
      {3, "01020050.tex", "A320_ATTITUDE: Error - Data File missing!", nullptr},
      {3, "01020051.tex", "A320_ATTITUDE: Error - Data File missing!", nullptr},
      // The needles, loaded after the missing card: needle 1 green at 45
      // degrees, needle 2's white bar at -105.
      {4, "01210000.tex", "A320_RMI: Error - Data File missing!",
       [](const Frame& f) {
         const Rgb one = onRay(f, 45, 0.45), two = onRay(f, -105, 0.45, rmigeo::kNeedle2BarOffset);
         return one.g > 150 && one.r < 110 && one.b < 110 && std::min({two.r, two.g, two.b}) > 170;
       }},
  };
  for (const auto& c : cases) {
    const Standby& s = kStandby[c.instrument];
    SCOPED_TRACE(c.missing);
    Bench bench(s.type, s.side, dataWithout(c.missing));
    ASSERT_TRUE(bench.made);  // the slot keeps the instrument
    EXPECT_EQ(bench.sink.messages, std::vector<std::string>{c.message});
    const Frame f = bench.render(blockOf(s, 0));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(bench.sink.messages.size(), 1u);  // drawing does not ask again
    EXPECT_TRUE(!c.stillDrawn || c.stillDrawn(f));
  }
}

}  // namespace
