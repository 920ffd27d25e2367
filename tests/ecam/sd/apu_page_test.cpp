// APU page: the start and shut-down model over frames, its readouts and
// the symbols that follow the APU's availability.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/apu_page.h"
#include "ecam/sd/sd_geometry.h"
#include "support/glyph_text.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

constexpr bool kEnginesRunning = false;  // the model's engine-out flag
constexpr bool kEngineOut = true;

struct ApuRun {
  sd::apu::ApuModel m;
  int firstUnavailable = 0;
  int draws = 0;
  // Steps n draws; remembers the first draw that was not available.
  ApuRun& steps(int n, float altitude, bool engineOut) {
    for (int i = 0; i < n; ++i) {
      ++draws;
      if (!sd::apu::step(m, altitude, engineOut) && firstUnavailable == 0) firstUnavailable = draws;
    }
    return *this;
  }
};

TEST(ApuPage, StartOnTheGroundWithEnginesRunning) {
  ApuRun r;
  r.steps(1, 0.0f, kEnginesRunning);
  EXPECT_FLOAT_EQ(r.m.voltage, 0.2f);
  EXPECT_FLOAT_EQ(r.m.load, 0.05f);
  EXPECT_EQ(r.m.frequency, 0.0f);
  EXPECT_FLOAT_EQ(r.m.bleed, 0.05f);
  EXPECT_FLOAT_EQ(r.m.speed, 0.05f);
  EXPECT_FLOAT_EQ(r.m.egt, 0.3f);

  r.steps(249, 0.0f, kEnginesRunning);  // draw 250
  EXPECT_NEAR(r.m.voltage, 50.0f, 0.01f);
  EXPECT_NEAR(r.m.load, 12.5f, 0.01f);
  EXPECT_NEAR(r.m.frequency, 27.0f, 0.35f);  // rises once the load passes 8 (draw 161)
  EXPECT_NEAR(r.m.bleed, 12.5f, 0.01f);
  EXPECT_NEAR(r.m.speed, 12.5f, 0.01f);
  EXPECT_NEAR(r.m.egt, 75.0f, 0.05f);

  // The voltage reaches 60 at draw 300 and jumps to 115.
  int jump = 0;
  while (r.m.voltage < 100.0f && r.draws < 400) {
    r.steps(1, 0.0f, kEnginesRunning);
    if (r.m.voltage == 115.0f) jump = r.draws;
  }
  EXPECT_GE(jump, 300);
  EXPECT_LE(jump, 301);

  // The frequency jumps to 400 as it passes 60, about 200 draws after it began.
  while (r.m.frequency < 100.0f && r.draws < 500) r.steps(1, 0.0f, kEnginesRunning);
  EXPECT_EQ(r.m.frequency, 400.0f);
  EXPECT_GE(r.draws, 359);
  EXPECT_LE(r.draws, 363);

  r.steps(2400 - r.draws, 0.0f, kEnginesRunning);
  EXPECT_EQ(r.m.voltage, 115.0f);
  EXPECT_EQ(r.m.load, 39.0f);
  EXPECT_EQ(r.m.frequency, 400.0f);
  EXPECT_EQ(r.m.bleed, 35.0f);
  EXPECT_EQ(r.m.speed, 100.0f);
  EXPECT_EQ(r.m.egt, 710.0f);
  EXPECT_EQ(r.firstUnavailable, 0);
}

TEST(ApuPage, ShutsDownAboveThreeThousandFeet) {
  ApuRun r;
  r.steps(3000, 0.0f, kEnginesRunning);
  ASSERT_EQ(r.m.load, 39.0f);
  r.draws = 0;
  r.steps(100, 5000.0f, kEnginesRunning);
  EXPECT_NEAR(r.m.load, 34.0f, 0.01f);
  EXPECT_NEAR(r.m.voltage, 110.0f, 0.01f);
  EXPECT_NEAR(r.m.egt, 698.0f, 0.05f);
  EXPECT_EQ(r.m.frequency, 400.0f);
  EXPECT_EQ(r.firstUnavailable, 0);
  // 39 falling by 0.05 goes below 3 on the 721st draw.
  r.steps(700, 5000.0f, kEnginesRunning);
  EXPECT_GE(r.firstUnavailable, 720);
  EXPECT_LE(r.firstUnavailable, 722);
  // Below 60 V the generator drops to 0; below 60 Hz the frequency too.
  r.steps(300, 5000.0f, kEnginesRunning);
  EXPECT_EQ(r.m.voltage, 0.0f);
  EXPECT_LT(r.m.load, 0.0f);  // no lower bound
  r.steps(12000, 5000.0f, kEnginesRunning);
  EXPECT_EQ(r.m.frequency, 0.0f);
  EXPECT_LT(r.m.speed, -500.0f);
}

TEST(ApuPage, KeepsRunningForAStoppedEngine) {
  struct Case {
    const char* name;
    float altitude;
    float voltage, load, frequency, bleed, speed, egt;
  };
  const Case cases[] = {
      {"aloft with an engine out", 5000.0f, 115, 19, 400, 32, 82, 689},
      {"on the ground with an engine out", 0.0f, 115, 32, 400, 32, 82, 689},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ApuRun r;
    r.steps(3000, 0.0f, kEnginesRunning);
    r.draws = 0;
    r.firstUnavailable = 0;
    r.steps(8000, c.altitude, kEngineOut);
    EXPECT_EQ(r.m.voltage, c.voltage);
    EXPECT_EQ(r.m.load, c.load);
    EXPECT_EQ(r.m.frequency, c.frequency);
    EXPECT_EQ(r.m.bleed, c.bleed);
    EXPECT_EQ(r.m.speed, c.speed);
    EXPECT_EQ(r.m.egt, c.egt);
    EXPECT_EQ(r.firstUnavailable, 0);
  }
}

TEST(ApuPage, ExactlyThreeThousandFeetChangesNothing) {
  ApuRun r;
  r.steps(500, 0.0f, kEnginesRunning);
  const sd::apu::ApuModel before = r.m;
  r.steps(100, 3000.0f, kEnginesRunning);
  r.steps(100, NAN, kEngineOut);
  EXPECT_EQ(r.m.voltage, before.voltage);
  EXPECT_EQ(r.m.load, before.load);
  EXPECT_EQ(r.m.frequency, before.frequency);
  EXPECT_EQ(r.m.bleed, before.bleed);
  EXPECT_EQ(r.m.speed, before.speed);
  EXPECT_EQ(r.m.egt, before.egt);
}

TEST(ApuPage, ShownValuesAndNeedleAngles) {
  EXPECT_EQ(sd::apu::shownSpeed(-3.5f), 0);
  EXPECT_EQ(sd::apu::shownSpeed(99.99f), 99);
  EXPECT_EQ(sd::apu::shownSpeed(500.0f), 116);
  EXPECT_EQ(sd::apu::shownSpeed(NAN), 0);
  EXPECT_EQ(sd::apu::shownEgt(-1e30f), 0);
  EXPECT_EQ(sd::apu::shownEgt(709.9f), 709);
  EXPECT_EQ(sd::apu::shownEgt(1e30f), 1000);
  EXPECT_FLOAT_EQ(sd::apu::speedAngle(0), 45.0f);
  EXPECT_FLOAT_EQ(sd::apu::speedAngle(100), -135.0f);
  EXPECT_FLOAT_EQ(sd::apu::egtAngle(1000), -135.0f);
  EXPECT_FLOAT_EQ(sd::apu::egtAngle(500), -45.0f);
}

// The page in a window, on page 7.
struct ApuDisplay {
  explicit ApuDisplay(int size = 400) : size(size), ow(size, size) {
    sd::resetModuleState();
    ow.window->setPlacement({0, 0, size, size, 1, A320_ECAM_SYSTEM}, 1);
    EXPECT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_SYSTEM));
    block.setU32(40, 7u << 24);
    engines(true);
  }
  SystemDisplay& sd() { return *static_cast<SystemDisplay*>(ow.window->instrument(0)); }
  void engines(bool running) {
    block.setF32(148, running ? 2.0f : 0.0f);
    block.setF32(198, running ? 2.0f : 0.0f);
  }
  void draw(int n = 1) {
    ow.window->setData(block.bytes.data());
    for (int i = 0; i < n; ++i) ASSERT_TRUE(ow.window->renderPass());
  }
  // Runs the model alone, as that many draws of the page would.
  void run(int n, float altitude) {
    for (int i = 0; i < n; ++i) sd::apu::step(sd::apu::apuModel(), altitude, false);
  }
  // Brightest green seen within a few pixels of (x, y) in drawing space.
  int greenNear(float x, float y, int reach = 2) const {
    const auto px = ow.pixels();
    const int cx = int((x + 1.0f) * 0.5f * float(size)), cy = int((y + 1.0f) * 0.5f * float(size));
    int best = 0;
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const int px_x = cx + dx, px_y = cy + dy;
        if (px_x < 0 || px_y < 0 || px_x >= size || px_y >= size) continue;
        const std::size_t i = (std::size_t(size - 1 - px_y) * std::size_t(size) + std::size_t(px_x)) * 4;
        const int g = px[i + 1] - std::max(px[i], px[i + 2]);
        best = std::max(best, g);
      }
    return best;
  }
  int size;
  RecordingSink sink;
  OffscreenWindow ow;
  FlightDataBlock block;
};

TEST(ApuPage, ReadoutsWhileAvailable) {
  using namespace sdgeo;
  ApuDisplay d(200);
  d.run(2999, 0.0f);
  GlyphCapture cap(d.sd().textures.data());
  d.draw();
  EXPECT_EQ(cap.textAt(kApuAvail.x, kApuAvail.y), "AVAIL") << cap.dump();
  EXPECT_EQ(cap.colourAt(kApuAvail.x, kApuAvail.y), 2);
  EXPECT_EQ(cap.textAt(kApuFlapOpen.x, kApuFlapOpen.y, 0.7), "FLAPOPEN");
  EXPECT_EQ(cap.textAt(kApuLoad.x, kApuLoad.y, 0.1), "39");
  EXPECT_EQ(cap.textAt(kApuVoltage.x, kApuVoltage.y, 0.15), "115");
  EXPECT_EQ(cap.textAt(kApuFrequency.x, kApuFrequency.y, 0.15), "400");
  EXPECT_EQ(cap.textAt(kApuBleedPressure.x, kApuBleedPressure.y, 0.2), "35");
  EXPECT_EQ(cap.textAt(kApuSpeed.x, kApuSpeed.y, 0.15), "100");
  EXPECT_EQ(cap.textAt(kApuEgt.x, kApuEgt.y, 0.15), "710");
  EXPECT_EQ(cap.colourAt(kApuEgt.x, kApuEgt.y, 0.15), 2);
}

TEST(ApuPage, FirstDrawOnTheGroundShowsAvailWithZeros) {
  using namespace sdgeo;
  ApuDisplay d(200);
  d.engines(false);
  GlyphCapture cap(d.sd().textures.data());
  d.draw();
  EXPECT_EQ(cap.textAt(kApuAvail.x, kApuAvail.y), "AVAIL");
  for (Point p : {kApuLoad, kApuVoltage, kApuFrequency, kApuBleedPressure, kApuSpeed, kApuEgt})
    EXPECT_EQ(cap.textAt(p.x, p.y, 0.15), "0") << p.x << "," << p.y;
}

TEST(ApuPage, UnavailableShowsCrossesAndTheShutValve) {
  using namespace sdgeo;
  ApuDisplay d;
  d.block.setF32(29, 5000.0f);
  d.draw();  // L falls below 3 at once from 0
  {
    GlyphCapture cap(d.sd().textures.data());
    d.draw();
    EXPECT_EQ(cap.textAt(kApuAvail.x, kApuAvail.y), "");
    EXPECT_EQ(cap.textAt(kApuFlapOpen.x, kApuFlapOpen.y, 0.7), "");
    EXPECT_EQ(cap.textAt(kApuLoad.x, kApuLoad.y, 0.1), "XX") << cap.dump();
    EXPECT_EQ(cap.colourAt(kApuLoad.x, kApuLoad.y, 0.1), 5);
    EXPECT_EQ(cap.textAt(kApuVoltage.x, kApuVoltage.y, 0.15), "XXX");
    EXPECT_EQ(cap.textAt(kApuFrequency.x, kApuFrequency.y, 0.15), "XXX");
    EXPECT_EQ(cap.textAt(kApuBleedPressure.x, kApuBleedPressure.y, 0.2), "XX");
    EXPECT_EQ(cap.colourAt(kApuBleedPressure.x, kApuBleedPressure.y, 0.2), 5);
    EXPECT_EQ(cap.textAt(kApuSpeed.x, kApuSpeed.y, 0.15), "XXX");
    EXPECT_EQ(cap.textAt(kApuEgt.x, kApuEgt.y, 0.15), "XXX");
  }
  // The valve's bar lies across the duct and the generator arrow is gone.
  const float duct = 0.515f, above = 0.745f + 0.07f;
  const float link = (kApuGenLink.x0 + kApuGenLink.x1) / 2;
  EXPECT_LT(d.greenNear(duct, above), 40);
  EXPECT_LT(d.greenNear(link, 0.87f), 40);
  d.block.setF32(29, 0.0f);
  d.draw();
  EXPECT_GT(d.greenNear(duct, above), 120);
  EXPECT_GT(d.greenNear(link, 0.87f), 120);
}

TEST(ApuPage, NeedlesFollowSpeedAndEgt) {
  using namespace sdgeo;
  ApuDisplay d;
  // Direction of the inner needle's tip side at angle a: a + 180 degrees.
  auto along = [](Point pivot, float angle, float r) {
    const double a = (double(angle) + 180.0) * 3.14159265358979 / 180.0;
    return Point{float(pivot.x + r * std::cos(a)), float(pivot.y + r * std::sin(a))};
  };
  d.draw();
  const Point n0 = along(kApuNInner, 45.0f, 0.12f), n100 = along(kApuNInner, -135.0f, 0.12f);
  const Point e0 = along(kApuEgtInner, 45.0f, 0.12f), e710 = along(kApuEgtInner, 45.0f - 0.18f * 710.0f, 0.12f);
  EXPECT_GT(d.greenNear(n0.x, n0.y), 120);
  EXPECT_LT(d.greenNear(n100.x, n100.y), 40);
  EXPECT_GT(d.greenNear(e0.x, e0.y), 120);
  d.run(2998, 0.0f);
  d.draw();
  EXPECT_LT(d.greenNear(n0.x, n0.y), 40);
  EXPECT_GT(d.greenNear(n100.x, n100.y), 120);
  EXPECT_LT(d.greenNear(e0.x, e0.y), 40);
  EXPECT_GT(d.greenNear(e710.x, e710.y), 120);
}

TEST(ApuPage, LongFlightLeavesNegativeValuesShownByTheNumberRule) {
  using namespace sdgeo;
  ApuDisplay d(200);
  d.block.setF32(29, 5000.0f);
  d.draw();
  d.run(999, 5000.0f);  // L, B, N and E fall to about -50, -50, -50 and -120
  d.block.setF32(29, 0.0f);
  GlyphCapture cap(d.sd().textures.data());
  d.draw();
  const sd::apu::ApuModel& m = sd::apu::apuModel();
  EXPECT_NEAR(m.bleed, -49.95f, 0.05f);
  EXPECT_EQ(cap.textAt(kApuAvail.x, kApuAvail.y), "AVAIL");
  EXPECT_EQ(cap.textAt(kApuBleedPressure.x, kApuBleedPressure.y, 0.2), "-49") << cap.dump();
  EXPECT_EQ(cap.textAt(kApuLoad.x, kApuLoad.y, 0.1), "");  // no free cell for the sign: no false 0
  EXPECT_EQ(cap.textAt(kApuSpeed.x, kApuSpeed.y, 0.15), "0");  // limited to 0
  EXPECT_EQ(cap.textAt(kApuEgt.x, kApuEgt.y, 0.15), "0");
}

}  // namespace
