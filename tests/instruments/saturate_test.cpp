#include "instruments/saturate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instruments/flight_data.h"

namespace {

TEST(Saturate, TruncToInt32) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  struct {
    double in;
    std::int32_t out;
  } cases[] = {
      {0.0, 0},         {-0.0, 0},          {0.999, 0},          {-0.999, 0},        {12.9, 12},
      {-12.9, -12},     {2147483647.0, kMax}, {2147483646.9, 2147483646}, {2147483648.0, kMax}, {1e300, kMax},
      {-2147483648.0, kMin}, {-2147483647.9, -2147483647}, {-1e300, kMin}, {NAN, 0}, {-NAN, 0},
      {INFINITY, kMax}, {-INFINITY, kMin},
  };
  for (const auto& c : cases) EXPECT_EQ(truncToInt32(c.in), c.out) << c.in;
  // Every float a 32-bit integer can hold converts as a plain cast would.
  for (std::int64_t v = -2147483648LL; v <= 2147483647LL; v += 65537 * 3) {
    const float f = float(v);
    if (double(f) >= 2147483648.0) continue;
    EXPECT_EQ(truncToInt32(f), static_cast<std::int32_t>(f));
  }
  EXPECT_EQ(scaleTrunc(650, 0.75), 487);
  EXPECT_EQ(scaleTrunc(-15, 0.75), -11);
  EXPECT_EQ(scaleTrunc(kMax, 2.0), kMax);
}

TEST(FlightDataBlock, LittleEndianWordsAndBounds) {
  FlightDataBlock b;
  b.bytes[8] = 0x78;
  b.bytes[9] = 0x56;
  b.bytes[10] = 0x34;
  b.bytes[11] = 0x12;
  EXPECT_EQ(b.u32(2), 0x12345678u);
  b.setF32(255, 12.5f);
  EXPECT_FLOAT_EQ(b.f32(255), 12.5f);
  EXPECT_EQ(b.bytes[1020 + 3], 0x41);  // 12.5f = 0x41480000
  b.setU32(256, 1);                    // ignored
  b.setU32(-1, 1);
  EXPECT_EQ(b.u32(256), 0u);
  EXPECT_EQ(b.u32(-1), 0u);
  b.setU32(3, 0xffffffffu);
  EXPECT_EQ(b.i32(3), -1);
}

}  // namespace
