#include "standby/airspeed.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "standby/airspeed_geometry.h"
#include "standby/dial_probe.h"
#include "standby/readings.h"

using namespace dialprobe;
using namespace airspeedgeo;

namespace {

constexpr int kSize = 400;
const std::string kStripFile = std::string(A320_TEST_DATA_DIR) + "/01012005.tex";
const std::vector<drumgeo::Window> kCounters = {kMachSecond, kMachFirst, kUnits, kTens, kHundreds};

FlightDataBlock block(float airspeed, float word27 = 0.0f, float word28 = 0.0f, std::uint32_t word92 = 0,
                      std::uint32_t word17 = 0) {
  FlightDataBlock b;
  b.setF32(25, airspeed);
  b.setF32(27, word27);
  b.setF32(28, word28);
  b.setU32(92, word92);
  b.setU32(17, word17);
  return b;
}

TEST(AirspeedDial, AnglesAtEveryRowOfTheTable) {
  struct {
    float kt, degrees;
  } cases[] = {{0, 94},      {30, 92},    {60, 90},        {80, 60},          {100, 30},    {123.4f, -5.1f},
               {159.9f, -59.85f}, {160, 300}, {200, 264},  {249.9f, 219.09f}, {250, 219},   {400, 141},
               {459.9f, 109.852f}, {460, 109.8f}, {1500, 109.8f}, {-30, 96},    {1e30f, 109.8f}};
  for (const auto& c : cases) {
    EXPECT_NEAR(AirspeedIndicator::readout(block(c.kt), 0).needleAngle, c.degrees, 2e-3) << c.kt << " kt";
    // The second pointer reads word 27 in 128ths of a knot off the same table.
    EXPECT_NEAR(AirspeedIndicator::readout(block(0, c.kt * 128), 0).pointerAngle, c.degrees, 2e-3) << c.kt << " kt";
  }
}

TEST(AirspeedDial, HostileWordsGiveFiniteAngles) {
  // NaN reads as 0 kt; the infinities as the largest float of their sign,
  // which for a negative speed is a huge but finite turn.
  EXPECT_FLOAT_EQ(AirspeedIndicator::readout(block(NAN), 0).needleAngle, 94.0f);
  EXPECT_FLOAT_EQ(AirspeedIndicator::readout(block(INFINITY), 0).needleAngle, 109.8f);
  for (float v : {-INFINITY, -3.4e38f, -1e20f, -123456.7f}) {
    const auto r = AirspeedIndicator::readout(block(v, v, v), 0);
    EXPECT_TRUE(std::isfinite(r.needleAngle)) << v;
    EXPECT_TRUE(std::isfinite(r.pointerAngle)) << v;
    EXPECT_LT(std::abs(r.needleAngle), 360.0f) << v;
    for (float x : {r.drums.upperSecond, r.drums.upperFirst, r.drums.units, r.drums.tens, r.drums.hundreds})
      EXPECT_TRUE(std::isfinite(x)) << v;
  }
}

// The pointers seen from the counters: both quads, a little widened.
std::vector<Occluder> pointers(float needle, float pointer) {
  return {{needle, kPointerLeft - 0.02, kPointerRight, kPointerHalfHeight + 0.02},
          {pointer, kPointerLeft - 0.02, kPointerRight, kPointerHalfHeight + 0.02}};
}

// The cell each counter window is centred on, from the words; rows with a
// rotation are also drawn (second pointer at 120 kt, along +x, clear of the
// counters) and the windows must show the strip there.
TEST(AirspeedDrums, WindowsCentreOnTheirCellsAndShowThem) {
  struct {
    float airspeed, word28;
    double hundreds, tens, units, upperFirst, upperSecond;
    bool drawn = false;
    float rotation = 0;
    std::uint32_t word17 = 0;
  } cases[] = {
      // Leading zeros of the speed show the blank cell 0; every other 0 is cell 10.
      {0, 0, 0, 0, 10, 10, 10},
      {123.4f, 12288, 1, 2, 3.4, 6, 10, true, 0, 0},
      // 99.5: tens halfway from 9 to 0, hundreds halfway from blank to 1.
      {99.5f, 0, 0.5, 9.5, 9.5, 10, 10, true, 0, 0},
      {99.5f, 0, 0.5, 9.5, 9.5, 10, 10, true, 90, 1},
      {100, 0, 1, 10, 10, 10, 10},
      {101.5f, 0, 1, 10, 1.5, 10, 10},
      {110, 0, 1, 11, 10, 10, 10},
      {199.9f, 0, 1.9, 9.9, 9.9, 10, 10},
      {205, 0, 2, 10, 5, 10, 10},
      {257, 3072, 2, 5, 7, 11, 5, true, 90, 0},
      {318, 16282, 3, 11, 8, 7.5, 9.5, true, -90, 1},
      // The counters stop at 999.9, each digit 0.9 of a cell past its 9.
      {1500, 0, 9.9, 9.9, 9.9, 10, 10},
      {999.9f, 0, 9.9, 9.9, 9.9, 10, 10},
      {0, 30720, 0, 0, 10, 9.9, 9.9},
      // A negative upper value stands at 0, not at the digits of its size.
      {257, -3072, 2, 5, 7, 10, 10, true, 0, 0},
  };
  Strip strip(kStripFile);
  ASSERT_TRUE(strip.loaded());
  Bench bench(A320_AIRSPEED, kSize);
  ASSERT_TRUE(bench.made);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.airspeed << " kt, word 28 " << c.word28 << ", rotation " << c.rotation
                                    << ", word 17 " << c.word17);
    const auto d = AirspeedIndicator::readout(block(c.airspeed, 0, c.word28), 0).drums;
    EXPECT_NEAR(cellOf(d.hundreds), c.hundreds, 5e-3);
    EXPECT_NEAR(cellOf(d.tens), c.tens, 5e-3);
    EXPECT_NEAR(cellOf(d.units), c.units, 5e-3);
    EXPECT_NEAR(cellOf(d.upperFirst), c.upperFirst, 5e-3);
    EXPECT_NEAR(cellOf(d.upperSecond), c.upperSecond, 5e-3);
    if (!c.drawn) continue;
    const Frame f = bench.render(block(c.airspeed, 120 * 128, c.word28, 0, c.word17), c.rotation);
    const auto occ = pointers(dialAngle(c.airspeed), 0.0f);
    const bool tinted = c.word17 & 1;
    EXPECT_TRUE(showsOffset(f, strip, kHundreds, offsetFor(c.hundreds), tinted, occ)) << "hundreds";
    EXPECT_TRUE(showsOffset(f, strip, kTens, offsetFor(c.tens), tinted, occ)) << "tens";
    EXPECT_TRUE(showsOffset(f, strip, kUnits, offsetFor(c.units), tinted, occ)) << "units";
    EXPECT_TRUE(showsOffset(f, strip, kMachFirst, offsetFor(c.upperFirst), tinted, occ)) << "upper 1";
    EXPECT_TRUE(showsOffset(f, strip, kMachSecond, offsetFor(c.upperSecond), tinted, occ)) << "upper 2";
  }
}

TEST(AirspeedStrip, CellsTenToTwelveRepeatZeroToTwo) {
  Strip strip(kStripFile);
  ASSERT_TRUE(strip.loaded());
  expectDrumColumn(strip, kLeftS0, kLeftS1, false);  // cell 0 is the blank leading zero
  expectDrumColumn(strip, kRightS0, kRightS1, true);
}

TEST(AirspeedDrums, EveryDigitRollsWithoutAJump) {
  struct Track {
    const drumgeo::Window* w;
    bool right;
    float AirspeedIndicator::Drums::*x;
  } tracks[] = {{&kUnits, true, &AirspeedIndicator::Drums::units},
                {&kTens, false, &AirspeedIndicator::Drums::tens},
                {&kHundreds, false, &AirspeedIndicator::Drums::hundreds}};
  auto previous = AirspeedIndicator::drumOffsets(0, 0);
  for (int i = 1; i <= 99990; ++i) {
    const float a = float(i) * 0.01f;
    const auto d = AirspeedIndicator::drumOffsets(a, 0);
    for (const auto& t : tracks) {
      const double from = cellOf(previous.*t.x), to = cellOf(d.*t.x);
      ASSERT_TRUE(samePicture(from, to, t.right, 0.05)) << a << " kt: cell " << from << " to " << to;
    }
    previous = d;
  }
  auto upper = AirspeedIndicator::drumOffsets(0, 0);
  for (int i = 1; i <= 9990; ++i) {
    const float m = float(i) * 0.0001f;
    const auto d = AirspeedIndicator::drumOffsets(0, m);
    for (auto [w, x] : {std::pair{&kMachSecond, &AirspeedIndicator::Drums::upperSecond},
                        std::pair{&kMachFirst, &AirspeedIndicator::Drums::upperFirst}}) {
      const double from = cellOf(upper.*x), to = cellOf(d.*x);
      ASSERT_TRUE(samePicture(from, to, w == &kMachSecond, 0.05)) << m << ": cell " << from << " to " << to;
    }
    upper = d;
  }
}

// What a pilot reads on the lower counter: below 0 it stands at 0, never at
// the digits of the speed's size, which would read as a speed forwards.
TEST(AirspeedReading, CounterNeverShowsANegativeSpeedAsAPositiveOne) {
  struct {
    float word25;
    double shown;
  } cases[] = {{-5, 0}, {-120, 0}, {-0.0f, 0}, {-INFINITY, 0}, {2.5f, 2.5}, {252.7f, 252.7}};
  Bench bench(A320_AIRSPEED, kSize);
  ASSERT_TRUE(bench.made);
  for (const auto& c : cases) {
    const Frame f = bench.render(block(c.word25, 120 * 128));
    const float needle = dialAngle(std::isfinite(c.word25) ? c.word25 : -3.4e38f);
    EXPECT_NEAR(readings::airspeedCounter(f, pointers(needle, 0)), c.shown, 0.05) << c.word25 << " kt";
  }
}

// At every numbered speed the needle points along the painted mark, at the
// angle of the table, for every rotation; so does the second pointer.
TEST(AirspeedNeedle, PointsAtItsScaleMark) {
  Bench bench(A320_AIRSPEED, kSize);
  ASSERT_TRUE(bench.made);
  for (float rotation : {0.0f, 90.0f, -90.0f})
    for (float v : {60.f, 80.f, 100.f, 120.f, 140.f, 160.f, 200.f, 250.f, 300.f, 350.f, 400.f, 450.f}) {
      SCOPED_TRACE(testing::Message() << v << " kt, rotation " << rotation);
      const double want = dialAngle(v);
      // The same frame with the needle a third of a turn away, and the
      // second pointer parked with it.
      const float away = v < 250 ? v + (v < 160 ? 80.0f : 130.0f) : v - 160.0f;
      const float parked = away * 128;
      const Frame with = bench.render(block(v, parked), rotation);
      const Frame without = bench.render(block(away, parked), rotation);
      const double needle = readings::needleAngle(with, without, 0.45, 0.72, kCounters);
      EXPECT_LT(std::abs(angleBetween(needle, want)), 1.0) << "needle at " << needle;
      const double mark = markAngle(without, want, 0.80, 0.90);
      EXPECT_LT(std::abs(angleBetween(mark, want)), 0.5) << "mark at " << mark;
    }
  // Needle parked at 120 kt along +x; the striped pointer's white parts.
  const Frame with = bench.render(block(120, 25600));
  const Frame without = bench.render(block(120, 120 * 128));
  const double pointer = readings::needleAngle(with, without, 0.3, 0.7, kCounters);
  EXPECT_LT(std::abs(angleBetween(pointer, 264.0)), 1.5) << pointer;
}

TEST(AirspeedHold, HoldKeepsZeroClearsAndTheHeldNeedleStaysOnScreen) {
  Bench bench(A320_AIRSPEED, kSize);
  auto* asi = static_cast<AirspeedIndicator*>(bench.ow.window->instrument(0));
  ASSERT_NE(asi, nullptr);
  ASSERT_EQ(asi->type(), A320_AIRSPEED);
  struct {
    float word25;
    std::uint32_t word92;
    float shown;
  } frames[] = {
      {100, 0, 100},
      {300, AirspeedIndicator::kHoldBit, 100},
      {300, AirspeedIndicator::kHoldBit | 0x1, 100},  // other bits do nothing
      {40, 0, 40},
      {200, AirspeedIndicator::kZeroBit, 0},
      {200, AirspeedIndicator::kHoldBit, 0},  // a later hold keeps the 0
      {150, AirspeedIndicator::kHoldBit | AirspeedIndicator::kZeroBit, 0},
      {150, 0, 150},
      {220, ~(AirspeedIndicator::kHoldBit | AirspeedIndicator::kZeroBit), 220},
  };
  EXPECT_EQ(asi->heldAirspeed(), 0.0f);
  for (const auto& f : frames) {
    bench.render(block(f.word25, 0, 0, f.word92));
    EXPECT_EQ(asi->heldAirspeed(), f.shown) << f.word25 << " / " << f.word92;
  }

  bench.render(block(100));
  const Frame held = bench.render(block(300, 0, 0, AirspeedIndicator::kHoldBit));
  const Frame moved = bench.render(block(300));
  const double needle = readings::needleAngle(held, moved, 0.45, 0.72, kCounters);
  EXPECT_LT(std::abs(angleBetween(needle, 30.0)), 1.0) << needle;
  EXPECT_TRUE(showsOffset(held, Strip(kStripFile), kHundreds, offsetFor(1), false, pointers(30, 94)));

  // A hidden slot keeps the held value.
  bench.render(block(180));
  bench.ow.window->setVisible(1, 0);
  bench.render(block(90));
  EXPECT_EQ(asi->heldAirspeed(), 180.0f);
}

}  // namespace
