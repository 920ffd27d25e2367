// APU page: the start and shut-down model over frames, its readouts and
// the symbols that follow the APU's availability.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "ecam/sd/apu_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

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

// Voltage, load, frequency, bleed, speed and EGT.
using Values = std::array<float, 6>;
Values values(const sd::apu::ApuModel& m) { return {m.voltage, m.load, m.frequency, m.bleed, m.speed, m.egt}; }

void expectValues(const sd::apu::ApuModel& m, const Values& want, float tol = 0.0f) {
  const Values got = values(m);
  const char* names[6] = {"voltage", "load", "frequency", "bleed", "speed", "egt"};
  for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(got[i], want[i], tol) << names[i];
}

TEST(ApuPage, StartOnTheGroundWithEnginesRunning) {
  ApuRun r;
  r.steps(1, 0.0f, kEnginesRunning);
  expectValues(r.m, {0.2f, 0.05f, 0.0f, 0.05f, 0.05f, 0.3f}, 1e-6f);
  r.steps(249, 0.0f, kEnginesRunning);  // draw 250
  EXPECT_NEAR(r.m.frequency, 27.0f, 0.35f);  // rises once the load passes 8 (draw 161)
  EXPECT_NEAR(r.m.voltage, 50.0f, 0.01f);
  EXPECT_NEAR(r.m.load, 12.5f, 0.01f);
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
  expectValues(r.m, {115, 39, 400, 35, 100, 710});
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

// From a running APU: with an engine out it keeps running, high or low;
// at 3000 ft exactly, or at an altitude that is not a number, nothing moves.
TEST(ApuPage, KeepsRunningForAStoppedEngineAndAtThreeThousandFeet) {
  struct Case {
    const char* name;
    int warmUp;
    float altitude;
    bool engineOut;
    int draws;
    bool unchanged;
    Values after;
  };
  const Case cases[] = {
      {"aloft with an engine out", 3000, 5000.0f, kEngineOut, 8000, false, {115, 19, 400, 32, 82, 689}},
      {"on the ground with an engine out", 3000, 0.0f, kEngineOut, 8000, false, {115, 32, 400, 32, 82, 689}},
      {"at 3000 ft exactly", 500, 3000.0f, kEnginesRunning, 100, true, {}},
      {"at a NaN altitude", 500, NAN, kEngineOut, 100, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ApuRun r;
    r.steps(c.warmUp, 0.0f, kEnginesRunning);
    const Values before = values(r.m);
    r.draws = 0;
    r.steps(c.draws, c.altitude, c.engineOut);
    expectValues(r.m, c.unchanged ? before : c.after);
    EXPECT_EQ(r.firstUnavailable, 0);
  }
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

// Runs the model alone, as that many draws of the page would.
void run(int n, float altitude) {
  for (int i = 0; i < n; ++i) sd::apu::step(sd::apu::apuModel(), altitude, false);
}

FlightDataBlock apuBlock(float altitude, bool enginesRunning = true) {
  FlightDataBlock b;
  b.setF32(148, enginesRunning ? 2.0f : 0.0f);
  b.setF32(198, enginesRunning ? 2.0f : 0.0f);
  b.setF32(29, altitude);
  return b;
}

TEST(ApuPage, Readouts) {
  using namespace sdgeo;
  struct Field {
    Point at;
    double width;
  };
  const Field fields[] = {{kApuAvail, 0.5},     {kApuFlapOpen, 0.7},      {kApuLoad, 0.1},  {kApuVoltage, 0.15},
                          {kApuFrequency, 0.15}, {kApuBleedPressure, 0.2}, {kApuSpeed, 0.15}, {kApuEgt, 0.15}};
  struct Case {
    const char* name;
    bool engines;
    float altitude;       // of the first draw
    int runLow, runHigh;  // model steps on the ground, then at 5000 ft, before the draw on the ground
    const char* texts[8];  // nullptr: not checked
    int colours[8];        // -1: not checked
  };
  const Case cases[] = {
      {"available", true, 0, 2999, 0, {"AVAIL", "FLAPOPEN", "39", "115", "400", "35", "100", "710"},
       {2, -1, -1, -1, -1, -1, -1, 2}},
      {"first draw on the ground", false, 0, 0, 0, {"AVAIL", nullptr, "0", "0", "0", "0", "0", "0"},
       {-1, -1, -1, -1, -1, -1, -1, -1}},
      // The load falls below 3 at once from 0.
      {"unavailable", true, 5000, 0, 0, {"", "", "XX", "XXX", "XXX", "XX", "XXX", "XXX"},
       {-1, -1, 5, -1, -1, 5, -1, -1}},
      // L, B, N and E fall to about -50, -50, -50 and -120: no free cell for
      // the load's sign, so no false 0; speed and EGT are limited to 0.
      {"long flight, back below 3000 ft", true, 5000, 0, 999, {"AVAIL", nullptr, "", nullptr, nullptr, "-49", "0", "0"},
       {-1, -1, -1, -1, -1, -1, -1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageDisplay d(200, 7, SdPage::Apu);
    FlightDataBlock b = apuBlock(c.altitude, c.engines);
    if (c.altitude > 0.0f) d.draw(b);
    run(c.runLow, 0.0f);
    run(c.runHigh, 5000.0f);
    if (c.runHigh) b.setF32(29, 0.0f);
    GlyphCapture cap(d.slots());
    d.draw(b);
    for (int i = 0; i < 8; ++i) {
      const Field& f = fields[i];
      if (c.texts[i]) {
        EXPECT_EQ(cap.textAt(f.at.x, f.at.y, f.width), c.texts[i]) << i << "\n" << cap.dump();
      }
      if (c.colours[i] >= 0) {
        EXPECT_EQ(cap.colourAt(f.at.x, f.at.y, f.width), c.colours[i]) << i;
      }
    }
  }
}

}  // namespace
