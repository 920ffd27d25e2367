#include "standby/clock.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/clock_reader.h"
#include "support/offscreen.h"

using testing_support::ClockReader;
using testing_support::OffscreenWindow;
using testing_support::RecordingSink;

namespace {

struct ClockCase {
  float hours, minutes, seconds;
  std::uint32_t word17;
  float rotation;
  const char* shown;
};

class ClockPixels : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockPixels, EveryCellShowsItsGlyph) {
  const ClockCase c = GetParam();
  RecordingSink sink;
  OffscreenWindow ow(320, 320);
  InstrumentWindow& w = *ow.window;
  w.setRotationAngle(c.rotation);
  const Placement p{10, 20, 300, 300, 1, A320_CLOCK};
  w.setPlacement(p, 1);
  ASSERT_TRUE(w.instrumentFactory(0, A320_CLOCK));
  EXPECT_TRUE(sink.messages.empty());
  FlightDataBlock b;
  b.setF32(2, c.hours);
  b.setF32(3, c.minutes);
  b.setF32(4, c.seconds);
  b.setU32(17, c.word17);
  w.setData(b.bytes.data());
  w.renderPass();

  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  ASSERT_TRUE(reader.loaded());
  const bool tinted = c.word17 & 1;
  EXPECT_EQ(reader.read(ow.pixels(), 320, 320, p, c.rotation, tinted), c.shown);
  // Reading with the wrong tint assumption must fail: the tint really
  // changes the picture.
  EXPECT_NE(reader.read(ow.pixels(), 320, 320, p, c.rotation, !tinted), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, ClockPixels,
    ::testing::Values(ClockCase{12, 34, 56, 0, 0, "12:34:56"}, ClockCase{5, 7.9f, 59.99f, 0, 0, "05:07:59"},
                      ClockCase{0, 0, 0, 0, 0, "00:00:00"}, ClockCase{23, 59, 9, 1, 0, "23:59:09"},
                      ClockCase{12, 34, 56, 2, 0, "12:34:56"}, ClockCase{12, 34, 56, 0, 90, "12:34:56"},
                      ClockCase{18, 40, 21, 3, -90, "18:40:21"}));

TEST(Clock, DigitPairFollowsTruncationAndUnsignedSplit) {
  struct {
    float value;
    std::int64_t tens, units;
  } cases[] = {
      {0.0f, 0, 0},    {9.99f, 0, 9},   {10.0f, 1, 0},   {59.99f, 5, 9},
      {99.0f, 9, 9},   {100.0f, 10, 0}, {-0.5f, 0, 0},   {-3.7f, 0, -3},
      {NAN, 0, 0},     {INFINITY, 214748364, 7},          {-INFINITY, 0, INT32_MIN},
      {3e9f, 214748364, 7},                                {2147483520.0f, 214748352, 0},
  };
  for (const auto& c : cases) {
    const Clock::DigitPair d = Clock::digitPair(c.value);
    EXPECT_EQ(d.tens, c.tens) << c.value;
    EXPECT_EQ(d.units, c.units) << c.value;
  }
}

TEST(Clock, CellBoundsAlongStrip) {
  double t0, t1;
  Clock::digitCell(1, t0, t1);  // the tens digit of 12
  EXPECT_NEAR(t0, 0.828487, 1e-6);
  EXPECT_NEAR(t1, 0.916817, 1e-6);
  Clock::digitCell(0, t0, t1);
  EXPECT_DOUBLE_EQ(t0, 0.91167);
  EXPECT_DOUBLE_EQ(t1, 1.0);
  Clock::digitCell(9, t0, t1);
  EXPECT_NEAR(t0, 0.91167 - 9 * 0.08318333327770233, 1e-6);
  EXPECT_GT(t0, 0.08333);  // digit 9 stays clear of the colon cell
}

}  // namespace
