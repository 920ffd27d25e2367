#include "standby/rmi.h"

#include <gtest/gtest.h>

#include <cmath>

#include "standby/dial_probe.h"
#include "standby/rmi_geometry.h"

using namespace dialprobe;

namespace {

constexpr int kSide = 400;

struct Inputs {
  float heading = 0, bearing1 = 0, present2 = 0, bearing2 = 0;
  std::uint32_t word59 = 0;
};

FlightDataBlock blockOf(const Inputs& in) {
  FlightDataBlock b;
  b.setF32(14, in.heading);
  b.setF32(64, in.bearing1);
  b.setF32(62, in.present2);
  b.setF32(75, in.bearing2);
  b.setU32(59, in.word59);
  return b;
}

// The point at distance along and offset across a ray at angle degrees.
Rgb onRay(const Frame& f, double angle, double along, double across = 0) {
  const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
  return f.at(along * c - across * s, along * s + across * c);
}

// Brightest of the 3x3 pixels about a point on a ray.
double brightestOnRay(const Frame& f, double angle, double along) {
  double best = 0;
  for (int i = -1; i <= 1; ++i)
    for (int j = -1; j <= 1; ++j)
      best = std::max(best, brightness(onRay(f, angle, along + i * 2.0 / kSide, j * 2.0 / kSide)));
  return best;
}

bool green(Rgb c) { return c.g > 150 && c.r < 110 && c.b < 110; }
bool white(Rgb c) { return std::min({c.r, c.g, c.b}) > 170; }

// Angles apart on the circle, 0 to 180.
double apart(double a, double b) { return std::abs(angleBetween(a, b)); }

struct TurnCase {
  Inputs in;
  float card, needle1, needle2;
};

const TurnCase kTurns[] = {
    {{30, 45, 1, 8192}, 30, 45, -105},
    {{100, 200, 5, -8192}, 100, -110, 55},
    {{30, 0, 1, 8192}, 30, 0, 0},      // no bearing 1 parks both
    {{30, -0.0f, 1, 8192}, 30, 0, 0},  // -0 is 0
    {{30, 45, 0, 8192}, 30, 45, 0},    // needle 2 input absent
    {{30, 45, 1, 8192, 128}, 30, 45, 0},
    {{30, 45, 1, 8192, 255}, 30, 45, 0},
    {{30, 45, 1, 8192, 127}, 30, 45, -105},
    {{30, 45, 1, 8192, 256}, 30, 45, -105},
    {{0, 0, 0, 0}, 0, 0, 0},
    {{400, -300, 1, 65536}, 400, 390, -50},  // passed on as they are
    {{237.5f, 12.5f, 1, 30000}, 237.5f, 77.5f, 237.5f - (30000 * 0.0054931640625f + 90)},
};

const TurnCase kBadTurns[] = {
    {{NAN, 45, 1, 8192}, 0, 45, 0},       // a NaN heading leaves needle 2 no bearing either
    {{30, NAN, 1, 8192}, 30, 0, -105},    // NaN is not 0: needle 2 keeps its bearing
    {{30, 45, NAN, 8192}, 30, 45, -105},  // nor does NaN mean absent
    {{30, 45, 1, INFINITY}, 30, 45, 0},
    {{-INFINITY, -INFINITY, 1, 8192}, 0, 0, 0},
    {{3.4e38f, 45, 1, -3.4e38f}, 3.4e38f, 45, 0},  // the difference overflows
};

TEST(RmiTurns, ParkingBearingsAndUndrawableTurns) {
  std::vector<TurnCase> all(std::begin(kTurns), std::end(kTurns));
  all.insert(all.end(), std::begin(kBadTurns), std::end(kBadTurns));
  for (const TurnCase& c : all) {
    const Rmi::Turns t = Rmi::turns(blockOf(c.in));
    SCOPED_TRACE(testing::Message() << "heading " << c.in.heading << " bearing1 " << c.in.bearing1 << " word62 "
                                    << c.in.present2 << " word75 " << c.in.bearing2 << " word59 " << c.in.word59);
    EXPECT_FLOAT_EQ(t.card, c.card);
    EXPECT_FLOAT_EQ(t.needle1, c.needle1);
    EXPECT_FLOAT_EQ(t.needle2, c.needle2);
  }
}

class RmiPixels : public testing::TestWithParam<std::tuple<TurnCase, float>> {};

TEST_P(RmiPixels, CardAndNeedlesWhereTheTurnsSay) {
  const auto [c, rotation] = GetParam();
  Bench bench(A320_RMI, kSide);
  ASSERT_TRUE(bench.made);
  const Frame p = bench.render(blockOf(c.in), rotation);
  using namespace rmigeo;

  // Needle 1's solid shaft on both sides of the pivot; needle 2's two bars
  // either side of its axis.
  for (double along : {-0.3, 0.3, 0.45}) {
    EXPECT_TRUE(green(onRay(p, c.needle1, along))) << "needle 1 at " << along;
    for (double side : {-1.0, 1.0})
      EXPECT_TRUE(white(onRay(p, c.needle2, along, side * kNeedle2BarOffset))) << "needle 2 at " << along;
  }
  if (apart(c.needle1, c.needle2) > 20) {
    EXPECT_TRUE(green(onRay(p, c.needle1, kNeedleTip - 0.12))) << "needle 1 head";
    EXPECT_FALSE(green(onRay(p, c.needle2, 0.45))) << "needle 1 only where it turned to";
  }

  // Card marks: heading h lies at 90 - h + card degrees. Ten-degree marks
  // reach down to the probe radius, five-degree ones do not.
  const double r = kTickOuter - kTenTickLength + 0.02;
  int checked = 0;
  for (int mark = 0; mark < 360; mark += 5) {
    const double a = 90.0 - mark + c.card;
    bool covered = apart(a, 90) < 10;  // lubber mark
    for (float n : {c.needle1, c.needle2}) covered = covered || apart(a, n) < 12 || apart(a, n + 180.0) < 12;
    if (covered) continue;
    ++checked;
    if (mark % 10 == 0)
      EXPECT_GT(brightestOnRay(p, a, r), 150) << "mark " << mark;
    else
      EXPECT_LT(brightestOnRay(p, a, r), 90) << "between marks at " << mark;
  }
  EXPECT_GT(checked, 40);
}

INSTANTIATE_TEST_SUITE_P(Rmi, RmiPixels, testing::Combine(testing::ValuesIn(kTurns), testing::Values(0.0f, 90.0f, -90.0f)));

TEST(Rmi, EveryFileIsTriedWhenOneIsMissing) {
  Bench bench(A320_RMI, kSide, dataWithout("01210000.tex"));
  ASSERT_TRUE(bench.made);
  const Frame p = bench.render(blockOf({30, 45, 1, 8192}));
  EXPECT_EQ(bench.sink.messages, std::vector<std::string>{"A320_RMI: Error - Data File missing!"});
  // The needles and bezel loaded after the missing card still draw.
  EXPECT_TRUE(green(onRay(p, 45, 0.45)));
  EXPECT_TRUE(white(onRay(p, -105, 0.45, rmigeo::kNeedle2BarOffset)));
}

}  // namespace
