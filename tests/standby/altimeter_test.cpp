#include "standby/altimeter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

#include "standby/altimeter_geometry.h"
#include "standby/dial_probe.h"
#include "standby/readings.h"

using namespace dialprobe;
using namespace altimetergeo;

namespace {

constexpr int kSize = 600;
const std::string kStripFile = std::string(A320_TEST_DATA_DIR) + "/01031003.tex";
const std::vector<drumgeo::Window> kCounters = [] {
  std::vector<drumgeo::Window> all = {kTensOfFeet, kHundreds, kThousands, kTenThousands};
  all.insert(all.end(), std::begin(kInchesWindows), std::end(kInchesWindows));
  all.insert(all.end(), std::begin(kHectopascalWindows), std::end(kHectopascalWindows));
  return all;
}();

FlightDataBlock block(float feet, float word31 = 29.92f, float word32 = 1013.2f, std::uint32_t word92 = 0,
                      std::uint32_t word17 = 0) {
  FlightDataBlock b;
  b.setF32(29, feet);
  b.setF32(31, word31);
  b.setF32(32, word32);
  b.setU32(92, word92);
  b.setU32(17, word17);
  return b;
}

TEST(AltimeterNeedle, OneTurnPerThousandFeet) {
  struct {
    float feet, degrees;
  } cases[] = {{0, 90}, {250, 0}, {500, -90}, {750, -180}, {1000, -270}, {-250, 180}, {12345, -4354.2f + 4320}};
  for (const auto& c : cases) {
    const float a = Altimeter::readout(block(c.feet), 0).needleAngle;
    EXPECT_NEAR(angleBetween(a, c.degrees), 0.0, 0.01) << c.feet << " ft";
    EXPECT_LT(std::abs(a), 360.0f);
  }
  for (float v : {NAN, INFINITY, -INFINITY, 3.4e38f, -1e30f}) {
    const auto r = Altimeter::readout(block(v, v, v), 0);
    EXPECT_TRUE(std::isfinite(r.needleAngle)) << v;
    for (float x : {r.altitudeDrums.tensOfFeet, r.altitudeDrums.hundreds, r.altitudeDrums.thousands,
                    r.altitudeDrums.tenThousands})
      EXPECT_TRUE(std::isfinite(x)) << v;
    for (float x : r.pressureDrums.inches) EXPECT_TRUE(std::isfinite(x)) << v;
    for (float x : r.pressureDrums.hectopascals) EXPECT_TRUE(std::isfinite(x)) << v;
  }
}

std::vector<Occluder> needle(float angle) {
  return {{angle, kNeedleLeft - 0.02, kNeedleRight, kNeedleHalfHeight + 0.02}};
}

// The cell each counter window is centred on, from the words; rows with a
// rotation are also drawn and the windows must show the strip there.
TEST(AltimeterDrums, WindowsCentreOnTheirCellsAndShowThem) {
  struct {
    float feet, inches, hectopascals;
    double alt[4];  // tens of feet, hundreds, thousands, ten-thousands
    double in[4];   // hundredths, tenths, units, tens
    double hpa[5];  // tenths, units, tens, hundreds, thousands
    bool drawn = false;
    float rotation = 0;
    std::uint32_t word17 = 0;
  } cases[] = {
      // Leading zeros show the blank cell 0.
      {0, 0, 0, {10, 10, 10, 0}, {10, 10, 10, 0}, {10, 10, 10, 10, 0}, true, 0, 1},
      {12345, 29.92f, 1013.2f, {4.5, 3, 2, 1}, {2, 9, 9, 2}, {2, 3, 11, 10, 1}, true, 0, 0},
      {990, 9.99f, 965.4f, {9, 9.5, 10.5, 0}, {9, 9, 9, 0}, {4, 5, 6, 9, 0}, true, 90, 0},
      {27250, 30.12f, 1020.0f, {5, 2, 7, 2}, {2, 11, 10, 3}, {10, 10, 2, 10, 1}, true, -90, 1},
      // The digits roll over the last 20 ft before they change; pressures
      // round half up to the shown decimal.
      {80, 29.915f, 1013.25f, {8, 10, 10, 0}, {2, 9, 9, 2}, {3, 3, 11, 10, 1}},
      {90, 29.994f, 1012.96f, {9, 10.5, 10, 0}, {9, 9, 9, 2}, {10, 3, 11, 10, 1}},
      {9990, 29.996f, 999.96f, {9, 9.5, 9.5, 0.5}, {10, 10, 10, 3}, {10, 10, 10, 10, 1}},
      {10000, 31.01f, 1050.1f, {10, 10, 10, 1}, {11, 10, 11, 3}, {11, 10, 5, 10, 1}},
      {35015, 29.92f, 1013.2f, {1.5, 10, 5, 3}, {2, 9, 9, 2}, {2, 3, 11, 10, 1}},
      {99999, 29.92f, 1013.2f, {9.9, 9.95, 9.95, 9.95}, {2, 9, 9, 2}, {2, 3, 11, 10, 1}},
  };
  Strip strip(kStripFile);
  ASSERT_TRUE(strip.loaded());
  Bench bench(A320_ALTITUDE, kSize);
  ASSERT_TRUE(bench.made);
  const drumgeo::Window altWindows[4] = {kTensOfFeet, kHundreds, kThousands, kTenThousands};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.feet << " ft, " << c.inches << " inHg, " << c.hectopascals
                                    << " hPa, rotation " << c.rotation << ", word 17 " << c.word17);
    const auto a = Altimeter::altitudeOffsets(c.feet);
    const float alt[4] = {a.tensOfFeet, a.hundreds, a.thousands, a.tenThousands};
    const auto p = Altimeter::pressureOffsets(c.inches, c.hectopascals);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(cellOf(alt[i]), c.alt[i], 2e-3) << "altitude " << i;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(cellOf(p.inches[i]), c.in[i], 1e-3) << "inches " << i;
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(cellOf(p.hectopascals[i]), c.hpa[i], 1e-3) << "hPa " << i;
    if (!c.drawn) continue;
    const Frame f = bench.render(block(c.feet, c.inches, c.hectopascals, 0, c.word17), c.rotation);
    const bool tinted = c.word17 & 1;
    const auto occ = needle(needleAngle(c.feet));
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(showsOffset(f, strip, altWindows[i], offsetFor(c.alt[i]), tinted, occ)) << "altitude " << i;
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(showsOffset(f, strip, kInchesWindows[i], offsetFor(c.in[i]), tinted, occ)) << "inches " << i;
    for (int i = 0; i < 5; ++i)
      EXPECT_TRUE(showsOffset(f, strip, kHectopascalWindows[i], offsetFor(c.hpa[i]), tinted, occ)) << "hPa " << i;
  }
}

TEST(AltimeterDrums, EveryDigitRollsWithoutAJump) {
  // Cells 10, 11, 12 repeat 0, 1, 2; cell 0 differs only for the leading
  // ten-thousands drum, which never jumps.
  auto same = [](double a, double b) { return samePicture(a, b, false, 0.06); };
  auto previous = Altimeter::altitudeOffsets(0);
  for (int i = 1; i <= 999990; ++i) {
    const float a = float(i) * 0.1f;
    const auto d = Altimeter::altitudeOffsets(a);
    ASSERT_TRUE(same(cellOf(previous.tensOfFeet), cellOf(d.tensOfFeet))) << a;
    ASSERT_TRUE(same(cellOf(previous.hundreds), cellOf(d.hundreds))) << a;
    ASSERT_TRUE(same(cellOf(previous.thousands), cellOf(d.thousands))) << a;
    ASSERT_NEAR(cellOf(previous.tenThousands), cellOf(d.tenThousands), 0.06) << a;
    previous = d;
  }
}

TEST(AltimeterStrip, CellsTenToTwelveRepeatZeroToTwo) {
  Strip strip(kStripFile);
  ASSERT_TRUE(strip.loaded());
  expectDrumColumn(strip, kTenThousandsS0, kTenThousandsS1, false);  // cell 0: the striped flag
  expectDrumColumn(strip, kDigitS0, kDigitS1, false);                // cell 0: a blank leading zero
  expectDrumColumn(strip, kPressureS0, kPressureS1, false);
  expectDrumColumn(strip, kTensOfFeetS0, kTensOfFeetS1, true);
}

// What a pilot reads on the counter and the needle. Below sea level the
// counter shows the feet below with the NEG flag, never a height above it;
// the needle stands where the hundreds of a mechanical altimeter would.
TEST(AltimeterReading, BelowSeaLevelShowsNegAndTheFeetBelow) {
  struct {
    float word29;
    bool neg;
    double feet;  // on the counter; NAN where it is past its range
  } cases[] = {{-11, true, -11},      {-46, true, -46},  {-500, true, -500}, {-1234.5f, true, -1234.5},
               {-20000, true, NAN},   {-INFINITY, true, NAN}, {11, false, 11}, {0, false, 0},
               {-0.0f, false, 0},     {NAN, false, 0},   {4321, false, 4321}, {12426, false, 12426}};
  Bench bench(A320_ALTITUDE, kSize);
  ASSERT_TRUE(bench.made);
  for (const auto& c : cases) {
    const Frame f = bench.render(block(c.word29));
    const float shown = std::isfinite(c.word29) ? c.word29 : 0.0f;
    const auto read = readings::altitudeCounter(f, needle(needleAngle(shown)));
    EXPECT_EQ(read.negFlag, c.neg) << c.word29 << " ft";
    if (!std::isnan(c.feet)) {
      EXPECT_NEAR(read.feet, c.feet, 1.5) << c.word29 << " ft";
    }
    if (!std::isfinite(c.word29)) continue;
    const Frame moved = bench.render(block(c.word29 + 400));
    const double at = readings::needleAngle(f, moved, 0.35, 0.6, kCounters);
    EXPECT_NEAR(readings::feetAt(at), std::fmod(double(c.word29) + 1e6, 1000.0), 3) << c.word29 << " ft";
  }
}

// At every hundred feet the needle points along the painted mark.
TEST(AltimeterNeedle, PointsAtItsScaleMark) {
  Bench bench(A320_ALTITUDE, kSize);
  ASSERT_TRUE(bench.made);
  for (float rotation : {0.0f, 90.0f, -90.0f})
    for (int n = 0; n < 10; ++n) {
      const float ft = float(n * 100 + (n % 2) * 3000);  // the needle only sees the last 1000 ft
      SCOPED_TRACE(testing::Message() << ft << " ft, rotation " << rotation);
      const double want = needleAngle(ft);
      const Frame with = bench.render(block(ft), rotation);
      const Frame without = bench.render(block(ft + 400), rotation);
      const double at = readings::needleAngle(with, without, 0.35, 0.6, kCounters);
      EXPECT_LT(std::abs(angleBetween(at, want)), 1.0) << "needle at " << at;
      const double mark = markAngle(without, want, 0.80, 0.90);
      EXPECT_LT(std::abs(angleBetween(mark, want)), 0.5) << "mark at " << mark;
    }
}

TEST(AltimeterHold, EitherBitKeepsThePreviousAltitudeOnScreen) {
  Bench bench(A320_ALTITUDE, kSize);
  auto* alt = static_cast<Altimeter*>(bench.ow.window->instrument(0));
  ASSERT_NE(alt, nullptr);
  ASSERT_EQ(alt->type(), A320_ALTITUDE);
  struct {
    float word29;
    std::uint32_t word92;
    float shown;
  } frames[] = {{1200, 0, 1200},   {5000, 0x4, 1200},    {7000, 0x2000, 1200}, {7000, 0x2004, 1200},
                {7000, 0x2, 7000}, {8000, ~0x2004u, 8000}, {-50, 0x4, 8000},    {-50, 0, -50}};
  EXPECT_EQ(alt->heldAltitude(), 0.0f);
  for (const auto& f : frames) {
    bench.render(block(f.word29, 29.92f, 1013.2f, f.word92));
    EXPECT_EQ(alt->heldAltitude(), f.shown) << f.word29 << " / " << f.word92;
  }

  bench.render(block(1700));  // needle at 90 - 612 = -522, that is 198 degrees
  const Frame held = bench.render(block(1200, 29.92f, 1013.2f, 0x4));
  const Frame moved = bench.render(block(1200));
  const double at = readings::needleAngle(held, moved, 0.35, 0.6, kCounters);
  EXPECT_LT(std::abs(angleBetween(at, 198.0)), 1.0) << at;
  Strip strip(kStripFile);
  EXPECT_TRUE(showsOffset(held, strip, kHundreds, offsetFor(7), false, needle(198)));
  EXPECT_TRUE(showsOffset(moved, strip, kHundreds, offsetFor(2), false, needle(90 - 432)));
}

}  // namespace
