#include "standby/clock.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/clock_reader.h"
#include "support/offscreen.h"

using testing_support::ClockReader;
using testing_support::OffscreenWindow;
using testing_support::RecordingSink;

namespace {

// The time on the three windows, read back cell by cell, tinted or not,
// on a window turned either way.
TEST(Clock, EveryCellShowsItsGlyph) {
  struct {
    float hours, minutes, seconds;
    std::uint32_t word17;
    float rotation;
    const char* shown;
  } cases[] = {{12, 34, 56, 0, 0, "12:34:56"}, {5, 7.9f, 59.99f, 0, 0, "05:07:59"}, {0, 0, 0, 0, 0, "00:00:00"},
               {23, 59, 9, 1, 0, "23:59:09"},  {12, 34, 56, 2, 0, "12:34:56"},      {12, 34, 56, 0, 90, "12:34:56"},
               {18, 40, 21, 3, -90, "18:40:21"}};
  RecordingSink sink;
  OffscreenWindow ow(320, 320);
  InstrumentWindow& w = *ow.window;
  const Placement p{10, 20, 300, 300, 1, A320_CLOCK};
  w.setPlacement(p, 1);
  ASSERT_TRUE(w.instrumentFactory(0, A320_CLOCK));
  EXPECT_TRUE(sink.messages.empty());
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  ASSERT_TRUE(reader.loaded());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    w.setRotationAngle(c.rotation);
    FlightDataBlock b;
    b.setF32(2, c.hours);
    b.setF32(3, c.minutes);
    b.setF32(4, c.seconds);
    b.setU32(17, c.word17);
    w.setData(b.bytes.data());
    w.renderPass();
    const bool tinted = c.word17 & 1;
    EXPECT_EQ(reader.read(ow.pixels(), 320, 320, p, c.rotation, tinted), c.shown);
    // Reading with the wrong tint assumption must fail: the tint really
    // changes the picture.
    EXPECT_NE(reader.read(ow.pixels(), 320, 320, p, c.rotation, !tinted), c.shown);
  }
}

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

}  // namespace
