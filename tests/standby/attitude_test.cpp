#include "standby/attitude.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>

#include "standby/attitude_geometry.h"
#include "support/offscreen.h"

using testing_support::OffscreenWindow;
using testing_support::RecordingSink;
using namespace attitudegeo;

namespace {

constexpr int kSide = 400;
constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kPixel = 2.0 / kSide;  // one pixel in instrument units

struct Word {
  int word;
  float value;
};

// The attitude indicator alone, filling a square window turned by rotation.
struct Picture {
  Picture(std::initializer_list<Word> words, float rotation, std::uint32_t word17 = 0) : rotation(rotation) {
    RecordingSink sink;
    OffscreenWindow ow(kSide, kSide);
    ow.window->setRotationAngle(rotation);
    ow.window->setPlacement({0, 0, kSide, kSide, 1, A320_ATTITUDE}, 1);
    EXPECT_TRUE(ow.window->instrumentFactory(0, A320_ATTITUDE));
    EXPECT_TRUE(sink.messages.empty());
    FlightDataBlock b;
    for (const Word& w : words) b.setF32(w.word, w.value);
    b.setU32(17, word17);
    ow.window->setData(b.bytes.data());
    ow.window->renderPass();
    rgba = ow.pixels();
  }
  // Colour under the instrument point (x, y) before the window's rotation.
  std::array<int, 3> at(double x, double y) const {
    const double a = rotation * kDeg;
    const double rx = std::cos(a) * x - std::sin(a) * y, ry = std::sin(a) * x + std::cos(a) * y;
    const int px = std::clamp(int(std::floor((rx + 1) / 2 * kSide)), 0, kSide - 1);
    const int py = std::clamp(int(std::floor((ry + 1) / 2 * kSide)), 0, kSide - 1);
    const std::uint8_t* p = &rgba[(std::size_t(kSide - 1 - py) * kSide + std::size_t(px)) * 4];
    return {p[0], p[1], p[2]};
  }
  float rotation;
  std::vector<std::uint8_t> rgba;
};

bool sky(std::array<int, 3> c) { return c[2] > c[0] + 60; }
bool ground(std::array<int, 3> c) { return c[0] > c[2] + 40 && c[1] > c[2]; }
bool magenta(std::array<int, 3> c) { return c[0] > 150 && c[2] > 150 && c[1] < 110; }
bool yellow(std::array<int, 3> c) { return c[0] > 180 && c[1] > 130 && c[2] < 90; }

// The highest y in column x, scanning down from top, that shows ground.
std::optional<double> groundTop(const Picture& p, double x, double top, double bottom) {
  bool seenSky = false;
  for (double y = top; y > bottom; y -= kPixel / 2) {
    const auto c = p.at(x, y);
    if (sky(c)) seenSky = true;
    if (seenSky && ground(c)) return y;
  }
  return std::nullopt;
}

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
  const Picture p({{22, c.pitch}, {23, c.bank}}, rotation);
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

class AttitudeSymbols : public testing::TestWithParam<float> {};

TEST_P(AttitudeSymbols, CommandBarFollowsItsTurnAndShift) {
  const float rotation = GetParam();
  // Turn -(20 - 0.3), shift (10 - 5) * 0.012; the bar's centre line lies
  // 0.031 below the quad's top edge.
  const Picture shown({{22, 10}, {23, 20}, {101, 5}, {102, 0.3f}, {103, 0.7f}}, rotation);
  const Picture hidden({{22, 10}, {23, 20}, {101, 5}, {102, 0.3f}, {103, 0}}, rotation);
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
  const Picture level({}, rotation);
  const Picture raised({{24, 100}}, rotation);
  const Picture banked({{23, 30}, {22, -10}}, rotation);
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
  auto pointerAt = [&](const Picture& p, double angle) {
    const auto c = p.at(r * std::cos(angle * kDeg), r * std::sin(angle * kDeg));
    return c[0] > 200 && c[1] > 200 && c[2] > 200;
  };
  const Picture level({}, rotation), right({{23, 15}}, rotation), left({{23, -15}}, rotation);
  EXPECT_TRUE(pointerAt(level, 90));
  EXPECT_FALSE(pointerAt(level, 75));
  EXPECT_TRUE(pointerAt(right, 75));  // clockwise for a positive bank
  EXPECT_FALSE(pointerAt(right, 90));
  EXPECT_TRUE(pointerAt(left, 105));
}

INSTANTIATE_TEST_SUITE_P(Attitude, AttitudeSymbols, testing::Values(0.0f, 90.0f, -90.0f));

TEST(Attitude, TintDarkensTowardsRed) {
  const std::initializer_list<Word> words = {{22, 5}, {23, 15}, {101, 2}, {103, 1}};
  const Picture plain(words, 0.0f, 0);
  const Picture tinted(words, 0.0f, 1);
  const Picture otherBits(words, 0.0f, 0xfffffffeu);
  const double factor[3] = {0.87, 0.51, 0.51};
  int coloured = 0;
  for (double y = -0.95; y < 0.96; y += 0.1)
    for (double x = -0.95; x < 0.96; x += 0.1) {
      const auto base = plain.at(x, y), t = tinted.at(x, y);
      for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(t[i], base[i] * factor[i] + 255 * 0.01 * factor[i], 1.5) << x << "," << y << " channel " << i;
      EXPECT_EQ(otherBits.at(x, y), base) << x << "," << y;
      if (base[2] > 100) ++coloured;
    }
  EXPECT_GT(coloured, 50);  // the grid did look at the picture, not at black
}

TEST(Attitude, HiddenSlotDrawsNothing) {
  OffscreenWindow ow(64, 64);
  ow.window->setPlacement({0, 0, 64, 64, 0, A320_ATTITUDE}, 1);
  ASSERT_TRUE(ow.window->instrumentFactory(0, A320_ATTITUDE));
  ow.window->renderPass();
  for (int y = 8; y < 56; y += 8)
    for (int x = 8; x < 56; x += 8) EXPECT_EQ(ow.at(x, y), (std::array<int, 3>{0, 0, 0}));
}

TEST(Attitude, EachMissingAtlasIsReportedAndTheOtherStillLoads) {
  namespace fs = std::filesystem;
  for (const char* missing : {"01020050.tex", "01020051.tex"}) {
    const fs::path dir = fs::path(testing::TempDir()) / ("attitude-data-" + std::string(missing));
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* f : {"01020050.tex", "01020051.tex"})
      if (std::string(f) != missing) fs::copy_file(fs::path(A320_TEST_DATA_DIR) / f, dir / f);
    RecordingSink sink;
    OffscreenWindow ow(64, 64, 1.0f, dir.string());
    ow.window->setPlacement({0, 0, 64, 64, 1, A320_ATTITUDE}, 1);
    ASSERT_TRUE(ow.window->instrumentFactory(0, A320_ATTITUDE));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"A320_ATTITUDE: Error - Data File missing!"}) << missing;
    ow.window->renderPass();
    EXPECT_EQ(sink.messages.size(), 1u);
    fs::remove_all(dir);
  }
}

}  // namespace
