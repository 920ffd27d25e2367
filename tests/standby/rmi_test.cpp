#include "standby/rmi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "standby/rmi_geometry.h"
#include "support/offscreen.h"

using testing_support::OffscreenWindow;
using testing_support::RecordingSink;

namespace {

constexpr int kSide = 400;
constexpr double kDeg = 3.14159265358979323846 / 180.0;

struct Inputs {
  float heading = 0, bearing1 = 0, present2 = 0, bearing2 = 0;
  std::uint32_t word59 = 0, word17 = 0;
};

FlightDataBlock blockOf(const Inputs& in) {
  FlightDataBlock b;
  b.setF32(14, in.heading);
  b.setF32(64, in.bearing1);
  b.setF32(62, in.present2);
  b.setF32(75, in.bearing2);
  b.setU32(59, in.word59);
  b.setU32(17, in.word17);
  return b;
}

// The RMI alone, filling a square window turned by rotation.
struct Picture {
  Picture(const Inputs& in, float rotation, const std::string& dataDir = A320_TEST_DATA_DIR) : rotation(rotation) {
    OffscreenWindow ow(kSide, kSide, 1.0f, dataDir);
    ow.window->setRotationAngle(rotation);
    ow.window->setPlacement({0, 0, kSide, kSide, 1, A320_RMI}, 1);
    made = ow.window->instrumentFactory(0, A320_RMI);
    const FlightDataBlock b = blockOf(in);
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
  // The point at distance along and offset across a ray at angle degrees.
  std::array<int, 3> onRay(double angle, double along, double across = 0) const {
    const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
    return at(along * c - across * s, along * s + across * c);
  }
  // Brightest of the 3x3 pixels about a point on a ray.
  int brightestOnRay(double angle, double along) const {
    int best = 0;
    const double px = 2.0 / kSide;
    for (int i = -1; i <= 1; ++i)
      for (int j = -1; j <= 1; ++j) {
        const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
        const auto v = at(along * c + i * px, along * s + j * px);
        best = std::max(best, (v[0] + v[1] + v[2]) / 3);
      }
    return best;
  }
  float rotation;
  bool made = false;
  std::vector<std::uint8_t> rgba;
};

bool green(std::array<int, 3> c) { return c[1] > 150 && c[0] < 110 && c[2] < 110; }
bool white(std::array<int, 3> c) { return c[0] > 170 && c[1] > 170 && c[2] > 170; }

// Angles apart on the circle, 0 to 180.
double apart(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::min(d, 360.0 - d);
}

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

TEST(RmiTurns, ParkingAndBearings) {
  for (const TurnCase& c : kTurns) {
    const Rmi::Turns t = Rmi::turns(blockOf(c.in));
    SCOPED_TRACE(testing::Message() << "heading " << c.in.heading << " bearing1 " << c.in.bearing1 << " word62 "
                                    << c.in.present2 << " word75 " << c.in.bearing2 << " word59 " << c.in.word59);
    EXPECT_FLOAT_EQ(t.card, c.card);
    EXPECT_FLOAT_EQ(t.needle1, c.needle1);
    EXPECT_FLOAT_EQ(t.needle2, c.needle2);
  }
}

TEST(RmiTurns, UndrawableTurnsAreDrawnAsNone) {
  const float nan = NAN, inf = INFINITY;
  const struct {
    Inputs in;
    float card, needle1, needle2;
  } cases[] = {
      {{nan, 45, 1, 8192}, 0, 45, 0},       // a NaN heading leaves needle 2 no bearing either
      {{30, nan, 1, 8192}, 30, 0, -105},    // NaN is not 0: needle 2 keeps its bearing
      {{30, 45, nan, 8192}, 30, 45, -105},  // nor does NaN mean absent
      {{30, 45, 1, inf}, 30, 45, 0},
      {{-inf, -inf, 1, 8192}, 0, 0, 0},
      {{3.4e38f, 45, 1, -3.4e38f}, 3.4e38f, 45, 0},  // the difference overflows
  };
  for (const auto& c : cases) {
    const Rmi::Turns t = Rmi::turns(blockOf(c.in));
    EXPECT_FLOAT_EQ(t.card, c.card) << c.in.heading;
    EXPECT_FLOAT_EQ(t.needle1, c.needle1) << c.in.bearing1;
    EXPECT_FLOAT_EQ(t.needle2, c.needle2) << c.in.bearing2;
  }
}

class RmiPixels : public testing::TestWithParam<std::tuple<TurnCase, float>> {};

TEST_P(RmiPixels, CardAndNeedlesWhereTheTurnsSay) {
  const auto [c, rotation] = GetParam();
  const Picture p(c.in, rotation);
  ASSERT_TRUE(p.made);
  using namespace rmigeo;

  // Needle 1's solid shaft on both sides of the pivot; needle 2's two bars
  // either side of its axis.
  for (double along : {-0.3, 0.3, 0.45}) {
    EXPECT_TRUE(green(p.onRay(c.needle1, along))) << "needle 1 at " << along;
    for (double side : {-1.0, 1.0})
      EXPECT_TRUE(white(p.onRay(c.needle2, along, side * kNeedle2BarOffset))) << "needle 2 at " << along;
  }
  if (apart(c.needle1, c.needle2) > 20) {
    EXPECT_TRUE(green(p.onRay(c.needle1, kNeedleTip - 0.12))) << "needle 1 head";
    EXPECT_FALSE(green(p.onRay(c.needle2, 0.45))) << "needle 1 only where it turned to";
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
      EXPECT_GT(p.brightestOnRay(a, r), 150) << "mark " << mark;
    else
      EXPECT_LT(p.brightestOnRay(a, r), 90) << "between marks at " << mark;
  }
  EXPECT_GT(checked, 40);
}

INSTANTIATE_TEST_SUITE_P(Rmi, RmiPixels, testing::Combine(testing::ValuesIn(kTurns), testing::Values(0.0f, 90.0f, -90.0f)));

TEST(Rmi, TintDarkensTowardsRed) {
  const Inputs in{30, 45, 1, 8192};
  Inputs tint = in, otherBits = in;
  tint.word17 = 1;
  otherBits.word17 = 0xfffffffeu;
  const Picture plain(in, 0), tinted(tint, 0), untinted(otherBits, 0);
  const double factor[3] = {0.87, 0.51, 0.51};
  int bright = 0;
  for (double y = -0.95; y < 0.96; y += 0.05)
    for (double x = -0.95; x < 0.96; x += 0.05) {
      const auto base = plain.at(x, y), t = tinted.at(x, y);
      for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(t[i], base[i] * factor[i] + 255 * 0.01 * factor[i], 1.5) << x << "," << y << " channel " << i;
      EXPECT_EQ(untinted.at(x, y), base) << x << "," << y;
      if (base[1] > 150) ++bright;
    }
  EXPECT_GT(bright, 10);  // marks and needles were among the probes
}

TEST(Rmi, EveryFileIsTriedWhenOneIsMissing) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(testing::TempDir()) / "rmi-data-without-card";
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (int i = 1; i < Rmi::kTextureCount; ++i) {
    const std::string f = "0121000" + std::to_string(i) + ".tex";
    fs::copy_file(fs::path(A320_TEST_DATA_DIR) / f, dir / f);
  }
  RecordingSink sink;
  const Picture p({30, 45, 1, 8192}, 0, dir.string());
  ASSERT_TRUE(p.made);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"A320_RMI: Error - Data File missing!"});
  // The needles and bezel loaded after the missing card still draw.
  EXPECT_TRUE(green(p.onRay(45, 0.45)));
  EXPECT_TRUE(white(p.onRay(-105, 0.45, rmigeo::kNeedle2BarOffset)));
  fs::remove_all(dir);
}

}  // namespace
