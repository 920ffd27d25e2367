#include "standby/attitude.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "standby/attitude_geometry.h"
#include "standby/dial_probe.h"
#include "standby/readings.h"

using namespace dialprobe;
using namespace attitudegeo;

namespace {

constexpr int kSide = 400;
constexpr double kPixel = 2.0 / kSide;  // one pixel in instrument units

// The attitude indicator alone, filling a square window turned by rotation.
Frame picture(std::initializer_list<std::pair<int, float>> words, float rotation) {
  Bench bench(A320_ATTITUDE, kSide);
  EXPECT_TRUE(bench.made);
  EXPECT_TRUE(bench.sink.messages.empty());
  FlightDataBlock b;
  for (const auto& [word, value] : words) b.setF32(word, value);
  return bench.render(b, rotation);
}

using readings::ground, readings::groundTop, readings::sky;

bool magenta(Rgb c) { return c.r > 150 && c.b > 150 && c.g < 110; }
bool yellow(Rgb c) { return c.r > 180 && c.g > 130 && c.b < 90; }

struct PoseCase {
  float pitch, bank, commandPitch, commandBank, commandShown, symbol;
  float bankTurn, ladderShift, commandTurn, commandShift;
  bool shown;
  float symbolShift;
};

TEST(AttitudePose, LimitsAndTurns) {
  const float inf = INFINITY, nan = NAN;
  const PoseCase cases[] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false, 0},
      {10, 20, 0, 0, 0, 0, -20, 0.116f, -20, 0.12f, false, 0},
      {10, 20, 5, 0.3f, 0.7f, 0, -20, 0.116f, -19.7f, 0.06f, true, 0},
      {25, 0, 0, 0, 1, 0, 0, 0.29f, 0, 0.3f, true, 0},
      {40, 0, 0, 0, 1, 0, 0, 0.29f, 0, 0.3f, true, 0},  // beyond the limit the horizon stops
      {-40, 0, 40, 0, 1, 0, 0, -0.29f, 0, -0.6f, true, 0},
      {-25.5f, 0, 0, 0, -0.0f, 0, 0, -0.29f, 0, -0.3f, false, 0},
      {0, 0, 0, 0, 0, 100, 0, 0, 0, 0, false, 0.12f},
      {0, -400, 0, 0, 0, -250, 400, 0, 400, 0, false, -0.3f},  // bank and offset are not limited
      {inf, 0, -inf, 0, nan, 0, 0, 0.29f, 0, 0.6f, true, 0},
      {nan, nan, nan, 0, 0, inf, 0, 0, 0, 0, false, 0},
      {0, 3e38f, 0, -3e38f, 1, 3e38f, -3e38f, 0, 0, 0, true, 3.6e35f},  // difference overflows
  };
  for (const PoseCase& c : cases) {
    FlightDataBlock b;
    b.setF32(22, c.pitch);
    b.setF32(23, c.bank);
    b.setF32(101, c.commandPitch);
    b.setF32(102, c.commandBank);
    b.setF32(103, c.commandShown);
    b.setF32(24, c.symbol);
    const AttitudeIndicator::Pose p = AttitudeIndicator::pose(b);
    SCOPED_TRACE(testing::Message() << "pitch " << c.pitch << " bank " << c.bank << " command " << c.commandPitch);
    EXPECT_FLOAT_EQ(p.bankTurn, c.bankTurn);
    EXPECT_NEAR(p.ladderShift, c.ladderShift, 1e-6);
    EXPECT_NEAR(p.commandTurn, c.commandTurn, 1e-5);
    EXPECT_NEAR(p.commandShift, c.commandShift, 1e-6);
    EXPECT_EQ(p.commandShown, c.shown);
    EXPECT_FLOAT_EQ(p.symbolShift, c.symbolShift);
  }
}

struct HorizonCase {
  float pitch, bank;
  double column;
  double boundary;  // y of the sky/ground line in that column
};

class AttitudeHorizon : public testing::TestWithParam<std::tuple<HorizonCase, float>> {};

TEST_P(AttitudeHorizon, BoundaryInColumn) {
  const auto [c, rotation] = GetParam();
  const Frame p = picture({{22, c.pitch}, {23, c.bank}}, rotation);
  const auto y = groundTop(p, c.column, 0.6, -0.6);
  ASSERT_TRUE(y.has_value()) << "no sky over ground in column " << c.column;
  EXPECT_NEAR(*y, c.boundary, 3 * kPixel) << "pitch " << c.pitch << " bank " << c.bank;
}

// Line y = (pitch * 0.0116 - x sin(bank)) / cos(bank); the centre column
// is free of the aircraft symbol above its centre dot.
INSTANTIATE_TEST_SUITE_P(
    Attitude, AttitudeHorizon,
    testing::Combine(testing::Values(HorizonCase{10, 0, 0.0, 0.116}, HorizonCase{25, 0, 0.0, 0.29},
                                     HorizonCase{40, 0, 0.0, 0.29}, HorizonCase{1000, 0, 0.0, 0.29},
                                     HorizonCase{0, 0, 0.45, 0.0}, HorizonCase{-10, 0, -0.45, -0.116},
                                     HorizonCase{-40, 0, 0.45, -0.29},
                                     HorizonCase{10, 20, 0.45, (0.116 - 0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)},
                                     HorizonCase{10, -20, 0.45, (0.116 + 0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)},
                                     HorizonCase{0, 380, -0.45, (0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)}),
                     testing::Values(0.0f, 90.0f, -90.0f)));

// Only the horizon itself shows sky over ground: the bank ring around it,
// which turns with the bank but not with the pitch, shows neither, so no
// second horizon stands beside the real one at any attitude.
TEST(AttitudeHorizon, OneHorizonAtEveryAttitude) {
  const std::pair<float, float> poses[] = {{0, 0}, {-20, -30}, {15, 45}, {-25, 10}, {25, -60}, {-8, 170}};
  for (const auto& [pitch, bank] : poses) {
    const Frame p = picture({{22, pitch}, {23, bank}}, 0.0f);
    int painted = 0, checked = 0;
    for (double a = 0; a < 360; a += 1)
      for (double r = kRingInner + 0.015; r < kBezelInner - 0.01; r += 0.01) {
        const Rgb c = p.at(r * std::cos(a * kDeg), r * std::sin(a * kDeg));
        painted += sky(c) || ground(c);
        ++checked;
      }
    EXPECT_EQ(painted, 0) << "of " << checked << " ring points look like sky or ground at pitch " << pitch
                          << ", bank " << bank;
  }
}

class AttitudeSymbols : public testing::TestWithParam<float> {};

TEST_P(AttitudeSymbols, CommandBarFollowsItsTurnAndShift) {
  const float rotation = GetParam();
  // Turn -(20 - 0.3), shift (10 - 5) * 0.012; the bar's centre line lies
  // 0.031 below the quad's top edge.
  const Frame shown = picture({{22, 10}, {23, 20}, {101, 5}, {102, 0.3f}, {103, 0.7f}}, rotation);
  const Frame hidden = picture({{22, 10}, {23, 20}, {101, 5}, {102, 0.3f}, {103, 0}}, rotation);
  const double a = -19.7 * kDeg, shift = 0.06;
  for (double x : {-0.42, -0.3, 0.3, 0.42}) {
    const double bx = std::cos(a) * x - std::sin(a) * shift, by = std::sin(a) * x + std::cos(a) * shift;
    EXPECT_TRUE(magenta(shown.at(bx, by))) << x;
    EXPECT_FALSE(magenta(hidden.at(bx, by))) << x;
    // Ten pixels off the bar's line there is no bar.
    EXPECT_FALSE(magenta(shown.at(bx - std::sin(a) * 10 * kPixel, by + std::cos(a) * 10 * kPixel))) << x;
  }
}

TEST_P(AttitudeSymbols, FixedSymbolMovesOnlyUpAndDown) {
  const float rotation = GetParam();
  const Frame level = picture({}, rotation), raised = picture({{24, 100}}, rotation),
              banked = picture({{23, 30}, {22, -10}}, rotation);
  for (double x : {-0.16, 0.16}) {
    EXPECT_TRUE(yellow(level.at(x, 0.0))) << x;
    EXPECT_FALSE(yellow(level.at(x, 0.12))) << x;
    EXPECT_TRUE(yellow(raised.at(x, 0.12))) << x;
    EXPECT_FALSE(yellow(raised.at(x, 0.0))) << x;
    EXPECT_TRUE(yellow(banked.at(x, 0.0))) << x;  // wings stay level
  }
}

TEST_P(AttitudeSymbols, BankRingPointerTurnsWithTheBank) {
  const float rotation = GetParam();
  const double r = (kBankPointerBase * 2 + kBankMarkOuter) / 3;  // inside the triangle
  auto pointerAt = [&](const Frame& p, double angle) {
    const Rgb c = p.at(r * std::cos(angle * kDeg), r * std::sin(angle * kDeg));
    return std::min({c.r, c.g, c.b}) > 200;
  };
  const Frame level = picture({}, rotation), right = picture({{23, 15}}, rotation),
              left = picture({{23, -15}}, rotation);
  EXPECT_TRUE(pointerAt(level, 90));
  EXPECT_FALSE(pointerAt(level, 75));
  EXPECT_TRUE(pointerAt(right, 75));  // clockwise for a positive bank
  EXPECT_FALSE(pointerAt(right, 90));
  EXPECT_TRUE(pointerAt(left, 105));
}

INSTANTIATE_TEST_SUITE_P(Attitude, AttitudeSymbols, testing::Values(0.0f, 90.0f, -90.0f));

TEST(Attitude, EachMissingAtlasIsReportedAndTheOtherStillLoads) {
  for (const char* missing : {"01020050.tex", "01020051.tex"}) {
    Bench bench(A320_ATTITUDE, 64, dataWithout(missing));
    ASSERT_TRUE(bench.made);
    EXPECT_EQ(bench.sink.messages, std::vector<std::string>{"A320_ATTITUDE: Error - Data File missing!"}) << missing;
    bench.render(FlightDataBlock{});
    EXPECT_EQ(bench.sink.messages.size(), 1u);
  }
}

}  // namespace
