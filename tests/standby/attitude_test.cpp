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

FlightDataBlock blockOf(std::initializer_list<std::pair<int, float>> words) {
  FlightDataBlock b;
  for (const auto& [word, value] : words) b.setF32(word, value);
  return b;
}

using readings::ground, readings::groundTop, readings::sky;

struct PoseCase {
  float pitch, bank, commandPitch, commandBank, commandShown, symbol;
  float bankTurn, ladderShift, commandTurn, commandShift;
  bool shown;
  float symbolShift;
};

// Where the horizon, the command bar and the fixed symbol go; how the bar,
// the symbol and the bank pointer are drawn there is checked against the
// reference pictures.
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

// The sky/ground line in a column: y = (pitch * 0.0116 - x sin(bank)) /
// cos(bank); the centre column is free of the aircraft symbol above its
// centre dot.
TEST(AttitudeHorizon, BoundaryInColumn) {
  struct {
    float pitch, bank;
    double column, boundary;
  } cases[] = {{10, 0, 0.0, 0.116},   {25, 0, 0.0, 0.29},    {40, 0, 0.0, 0.29}, {1000, 0, 0.0, 0.29},
               {0, 0, 0.45, 0.0},     {-10, 0, -0.45, -0.116}, {-40, 0, 0.45, -0.29},
               {10, 20, 0.45, (0.116 - 0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)},
               {10, -20, 0.45, (0.116 + 0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)},
               {0, 380, -0.45, (0.45 * std::sin(20 * kDeg)) / std::cos(20 * kDeg)}};
  Bench bench(A320_ATTITUDE, kSide);
  ASSERT_TRUE(bench.made);
  for (float rotation : {0.0f, 90.0f, -90.0f})
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "pitch " << c.pitch << " bank " << c.bank << " rotation " << rotation);
      const Frame p = bench.render(blockOf({{22, c.pitch}, {23, c.bank}}), rotation);
      const auto y = groundTop(p, c.column, 0.6, -0.6);
      ASSERT_TRUE(y.has_value()) << "no sky over ground in column " << c.column;
      EXPECT_NEAR(*y, c.boundary, 3 * kPixel);
    }
}

// Only the horizon itself shows sky over ground: the bank ring around it,
// which turns with the bank but not with the pitch, shows neither, so no
// second horizon stands beside the real one at any attitude.
TEST(AttitudeHorizon, OneHorizonAtEveryAttitude) {
  const std::pair<float, float> poses[] = {{0, 0}, {-20, -30}, {15, 45}, {-25, 10}, {25, -60}, {-8, 170}};
  Bench bench(A320_ATTITUDE, kSide);
  ASSERT_TRUE(bench.made);
  for (const auto& [pitch, bank] : poses) {
    const Frame p = bench.render(blockOf({{22, pitch}, {23, bank}}));
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

}  // namespace
