// Which page the system display shows: word 40, the flight-phase rules and
// the flight-control movement detector.
#include <gtest/gtest.h>

#include "ecam/sd/pages.h"

namespace {

TEST(SystemDisplayPages, PageNumberAndAutomaticValue) {
  struct Case {
    std::uint32_t page;
    std::int32_t automatic;
    SdPage shown;
  };
  const Case cases[] = {
      {0, 0, SdPage::None},     {0, 7, SdPage::Door},     {0, 8, SdPage::Wheel},   {0, 9, SdPage::Eng},
      {0, 10, SdPage::Cruise},  {0, 11, SdPage::Fctl},    {0, 12, SdPage::None},   {0, -1, SdPage::None},
      {1, 10, SdPage::Eng},     {2, 0, SdPage::Bleed},    {3, 0, SdPage::Press},   {4, 0, SdPage::Elec},
      {5, 0, SdPage::Hyd},      {6, 0, SdPage::Fuel},     {7, 0, SdPage::Apu},     {8, 0, SdPage::Cond},
      {9, 0, SdPage::Door},     {10, 0, SdPage::Wheel},   {11, 0, SdPage::Fctl},   {12, 0, SdPage::Status},
      {13, 9, SdPage::None},    {14, 9, SdPage::None},    {15, 9, SdPage::None},   {16, 9, SdPage::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sd::pageFor(c.page, c.automatic), c.shown) << "page " << c.page << " automatic " << c.automatic;
}

}  // namespace

#include <cmath>
#include <functional>

#include "ecam/sd/sd_geometry.h"
#include "support/glyph_text.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

FlightDataBlock withPage(std::uint32_t page) {
  FlightDataBlock b;
  b.setU32(40, page << 24);
  return b;
}

TEST(SystemDisplayPages, FlightPhaseRules) {
  struct Case {
    const char* name;
    std::function<void(FlightDataBlock&)> set;
    std::int32_t before, after;
  };
  auto n2 = [](FlightDataBlock& b, float e1, float e2) {
    b.setF32(130, float(double(e1) * 163.84));
    b.setF32(180, float(double(e2) * 163.84));
  };
  const float feetPerMinute = 1.0f / 0.76893747f;  // word 30 per ft/min
  const Case cases[] = {
      {"all zero keeps the value", [](FlightDataBlock&) {}, 0, 0},
      {"all zero keeps a fired value", [](FlightDataBlock&) {}, 10, 10},
      {"on ground, engines off: DOOR", [](FlightDataBlock& b) { b.setU32(221, 2); }, 0, 7},
      {"on ground, engine 2 at 5 %: WHEEL", [&](FlightDataBlock& b) { b.setU32(221, 2); n2(b, 0, 5.0f); }, 0, 8},
      {"on ground, engine 1 alone keeps", [&](FlightDataBlock& b) { b.setU32(221, 2); n2(b, 20, 4.9f); }, 9, 9},
      {"ground bit is bit 1 only", [](FlightDataBlock& b) { b.setU32(221, ~2u); }, 0, 0},
      {"climb with flaps above 10000 ft: ENG",
       [&](FlightDataBlock& b) { b.setF32(25, 60); b.setF32(37, 1); b.setF32(30, 101 * feetPerMinute); b.setF32(29, 10001); },
       0, 9},
      {"59.9 kt is not flying",
       [&](FlightDataBlock& b) { b.setF32(25, 59.9f); b.setF32(37, 1); b.setF32(30, 101 * feetPerMinute); b.setF32(29, 10001); },
       0, 0},
      {"clean climb: CRUISE",
       [&](FlightDataBlock& b) { b.setF32(25, 250); b.setF32(30, 51 * feetPerMinute); }, 0, 10},
      {"clean, level: keeps", [](FlightDataBlock& b) { b.setF32(25, 250); }, 9, 9},
      {"gear down, nose gear in transit: WHEEL",
       [](FlightDataBlock& b) { b.setF32(215, 1); b.setF32(216, 15999); b.setF32(29, 30000); }, 10, 8},
      {"gear down and locked at 3000 ft descending: WHEEL",
       [](FlightDataBlock& b) { b.setF32(215, 1); b.setF32(216, 16384); b.setF32(29, 3000); }, 10, 8},
      {"gear down and locked high: keeps",
       [](FlightDataBlock& b) { b.setF32(215, 1); b.setF32(216, 16384); b.setF32(29, 12000); }, 10, 10},
      {"gear lever up, nose gear at 10: WHEEL", [](FlightDataBlock& b) { b.setF32(216, 10); }, 0, 8},
      {"gear lever up, nose gear at 9.9: keeps", [](FlightDataBlock& b) { b.setF32(216, 9.9f); }, 0, 0},
      {"NaN everywhere keeps", [](FlightDataBlock& b) { for (int w = 0; w < 256; ++w) b.setF32(w, NAN); }, 10, 10},
  };
  for (const Case& c : cases) {
    FlightDataBlock b;
    c.set(b);
    EXPECT_EQ(sd::automaticPageRules(b, c.before), c.after) << c.name;
  }
}

// Frames after which the flag is up, for a stick that steps by `step` at
// draw `stepAt` and stays there.
std::vector<int> movingDraws(float step, int stepAt, int draws) {
  sd::MovementDetector m;
  std::vector<int> moving;
  FlightDataBlock b;
  for (int i = 1; i <= draws; ++i) {
    if (i == stepAt) b.setF32(164, step);
    if (sd::stepMovementDetector(m, b)) moving.push_back(i);
  }
  return moving;
}

TEST(SystemDisplayPages, MovementDetectorSamplesAndHolds) {
  // Samples fall on draws 10, 19, 28, ...: a step before draw 10 is seen
  // there and holds the flag for 179 draws.
  std::vector<int> m = movingDraws(0.2f, 5, 400);
  ASSERT_FALSE(m.empty());
  EXPECT_EQ(m.front(), 10);
  EXPECT_EQ(m.back(), 188);
  EXPECT_EQ(m.size(), 179u);

  EXPECT_TRUE(movingDraws(0.149f, 5, 400).empty());  // below the threshold
  m = movingDraws(0.15f, 11, 400);                    // at it, seen at draw 19
  ASSERT_FALSE(m.empty());
  EXPECT_EQ(m.front(), 19);

  // The speed brake lever triggers at 2600.
  sd::MovementDetector d;
  FlightDataBlock b;
  b.setF32(211, 2599.0f);
  int first = 0;
  for (int i = 1; i <= 30 && !first; ++i)
    if (sd::stepMovementDetector(d, b)) first = i;
  EXPECT_EQ(first, 0);
  b.setF32(211, 2599.0f + 2600.0f);
  for (int i = 1; i <= 30 && !first; ++i)
    if (sd::stepMovementDetector(d, b)) first = i;
  EXPECT_GT(first, 0);
}

TEST(SystemDisplayPages, KeepsMovingStickOnFctlThenRaisesAgain) {
  sd::MovementDetector m;
  FlightDataBlock b;
  std::vector<int> rises;
  bool was = false;
  for (int i = 1; i <= 400; ++i) {
    b.setF32(164, 0.2f * float(i));  // always moving
    const bool now = sd::stepMovementDetector(m, b);
    if (now && !was) rises.push_back(i);
    was = now;
  }
  // Up at 10, down after draw 188, up again at the next sample (190).
  ASSERT_GE(rises.size(), 2u);
  EXPECT_EQ(rises[0], 10);
  EXPECT_EQ(rises[1], 190);
}

struct Display {
  Display() : ow(200, 200) {
    sd::resetModuleState();
    ow.window->setPlacement({0, 0, 200, 200, 1, A320_ECAM_SYSTEM}, 1);
    EXPECT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_SYSTEM));
  }
  SystemDisplay& sd() { return *static_cast<SystemDisplay*>(ow.window->instrument(0)); }
  void draw(const FlightDataBlock& b) {
    ow.window->setData(b.bytes.data());
    ASSERT_TRUE(ow.window->renderPass());
  }
  RecordingSink sink;
  OffscreenWindow ow;
};

TEST(SystemDisplayPages, DrawsThePageWordFortySelects) {
  Display d;
  const SdPage byNumber[] = {SdPage::None, SdPage::Eng,  SdPage::Bleed, SdPage::Press, SdPage::Elec,
                             SdPage::Hyd,  SdPage::Fuel, SdPage::Apu,   SdPage::Cond,  SdPage::Door,
                             SdPage::Wheel, SdPage::Fctl, SdPage::Status, SdPage::None, SdPage::None, SdPage::None};
  for (std::uint32_t p = 0; p < 16; ++p) {
    FlightDataBlock b = withPage(p);
    b.setU32(40, b.u32(40) | 0xF0FFFFFFu);  // bits outside 24 to 27 change nothing
    d.draw(b);
    EXPECT_EQ(d.sd().lastPage, byNumber[p]) << "page " << p;
    EXPECT_EQ(d.sd().page, p);
  }
  // Nothing drawn: the viewport stays black; a page shows its background.
  auto lit = [&] {
    int n = 0;
    for (int y = 0; y < 200; y += 4)
      for (int x = 0; x < 200; x += 4) {
        const auto px = d.ow.at(x, y);
        if (px[0] + px[1] + px[2] > 60) ++n;
      }
    return n;
  };
  d.draw(withPage(13));
  EXPECT_EQ(lit(), 0);
  d.draw(withPage(1));
  EXPECT_GT(lit(), 20);
}

TEST(SystemDisplayPages, HiddenSlotFreezesDetectorAndTwoDisplaysShareIt) {
  Display d;
  FlightDataBlock b;
  d.ow.window->setPlacement({0, 0, 200, 200, 0, A320_ECAM_SYSTEM}, 1);
  b.setF32(216, 10.0f);
  for (int i = 0; i < 20; ++i) d.draw(b);
  EXPECT_EQ(sd::frameState().detector.frameCounter, 0);
  EXPECT_EQ(sd::frameState().automaticPage, 0);

  d.ow.window->setPlacement({0, 0, 100, 200, 1, A320_ECAM_SYSTEM}, 1);
  d.ow.window->setPlacement({100, 0, 100, 200, 1, A320_ECAM_SYSTEM}, 2);
  ASSERT_TRUE(d.ow.window->instrumentFactory(1, A320_ECAM_SYSTEM));
  for (int i = 0; i < 3; ++i) d.draw(b);
  EXPECT_EQ(sd::frameState().detector.frameCounter, 6);
  EXPECT_EQ(sd::frameState().automaticPage, sd::kAutoWheel);
}

TEST(SystemDisplayPages, InitialFuelComesFromTheBlockAtCreation) {
  sd::resetModuleState();
  EXPECT_EQ(sd::frameState().initialFuelKg, 19150);
  RecordingSink sink;
  OffscreenWindow ow(64, 64);
  FlightDataBlock b;
  b.setF32(105, 10000.0f);
  ow.window->setData(b.bytes.data());
  ASSERT_TRUE(ow.window->renderPass());  // the block the window holds now
  ow.window->setPlacement({0, 0, 64, 64, 1, A320_ECAM_SYSTEM}, 1);
  ASSERT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_SYSTEM));
  EXPECT_EQ(sd::frameState().initialFuelKg, 4535);  // 10000 lb, truncated
  EXPECT_TRUE(sd::frameState().initialFuelKnown);

  // Created on a block without fuel: the first fuel that arrives counts,
  // even while the slot is hidden; NaN and 0 do not.
  for (const float none : {0.0f, NAN, INFINITY}) {
    b.setF32(105, none);
    ow.window->setData(b.bytes.data());
    ASSERT_TRUE(ow.window->renderPass());
    ASSERT_TRUE(ow.window->destroySlot(0));
    ASSERT_TRUE(ow.window->instrumentFactory(0, A320_ECAM_SYSTEM));
    ASSERT_TRUE(ow.window->renderPass());
    EXPECT_FALSE(sd::frameState().initialFuelKnown) << none;
  }
  ow.window->setPlacement({0, 0, 64, 64, 0, A320_ECAM_SYSTEM}, 1);
  b.setF32(105, 8000.0f);
  ow.window->setData(b.bytes.data());
  ASSERT_TRUE(ow.window->renderPass());
  b.setF32(105, 6000.0f);
  ow.window->setData(b.bytes.data());
  ASSERT_TRUE(ow.window->renderPass());
  EXPECT_TRUE(sd::frameState().initialFuelKnown);
  EXPECT_EQ(sd::frameState().initialFuelKg, 3628);  // 8000 lb
}

TEST(SystemDisplayPages, PermanentDataArea) {
  using namespace sdgeo;
  struct Case {
    const char* name;
    float tat, sat, speed, hours, minutes, fuelLb;
    const char *tatText, *tatSign, *satText, *satSign, *hoursText, *minutesText, *gw;
  };
  const Case cases[] = {
      {"TAT -0.4 deg prints 0 with a minus", -0.4f, -12.0f, 250, 12.9f, 34.99f, 20000, "0", "-", "12", "-", "12",
       "34", "69071"},
      {"below 50 kt the TAT line shows the SAT", 15.0f, 7.6f, 49.9f, 1, 2, 0, "7", "+", "7", "+", "01", "02", "60000"},
      {"at 50 kt the TAT", 15.0f, 7.6f, 50.0f, 23, 59, 1, "15", "+", "7", "+", "23", "59", "60000"},
      {"two digits fit beside the sign", -99.9f, 99.9f, 300, 0, 0, 0, "99", "-", "99", "+", "00", "00", "60000"},
      // A third digit would sit under the sign.
      {"100 and more have no place", -100.0f, 123456.0f, 300, 0, 0, 0, "", "", "", "", "00", "00", "60000"},
      {"NaN has no place either", NAN, -1e30f, 300, 0, 0, 0, "", "", "", "", "00", "00", "60000"},
  };
  for (const Case& c : cases) {
    Display d;
    FlightDataBlock b = withPage(1);
    b.setF32(8, c.tat / 250.0f);
    b.setF32(7, c.sat);
    b.setF32(25, c.speed);
    b.setF32(2, c.hours);
    b.setF32(3, c.minutes);
    b.setF32(105, c.fuelLb);
    GlyphCapture cap(d.sd().textures.data());
    d.draw(b);
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cap.textAt(kTatNumber.x, kTatNumber.y, 0.3), c.tatText) << cap.dump();
    EXPECT_EQ(cap.textAt(kTatSign.x, kTatSign.y, 0.05), c.tatSign);
    EXPECT_EQ(cap.textAt(kSatNumber.x, kSatNumber.y, 0.3), c.satText);
    EXPECT_EQ(cap.textAt(kSatSign.x, kSatSign.y, 0.05), c.satSign);
    EXPECT_EQ(cap.textAt(kHours.x, kHours.y, 0.2), c.hoursText);
    EXPECT_EQ(cap.textAt(kMinutes.x, kMinutes.y, 0.2), c.minutesText);
    EXPECT_EQ(cap.textAt(kGrossWeight.x, kGrossWeight.y, 0.4), c.gw);
    EXPECT_EQ(cap.colourAt(kGrossWeight.x, kGrossWeight.y, 0.4), 2);
  }
}

}  // namespace

namespace {

// A whole flight on automatic page choice: each phase is drawn for a few
// seconds' worth of frames and the pages shown are listed as they change.
TEST(SystemDisplayPages, AutomaticChoiceOverAWholeFlight) {
  Display d;
  struct Phase {
    const char* name;
    int frames;
    float n2e1, n2e2, speed, altitude, feetPerMinute, flaps, gearLever, noseGear, stick;
    bool onGround;
  };
  const Phase flight[] = {
      {"cold and dark", 60, 0, 0, 0, 400, 0, 0, 1, 16384, 0, true},
      {"engine 1 start", 60, 30, 0, 0, 400, 0, 0, 1, 16384, 0, true},
      {"engine 2 start", 60, 60, 60, 0, 400, 0, 0, 1, 16384, 0, true},
      {"taxi and take-off roll", 120, 95, 95, 140, 400, 0, 1, 1, 16384, 0, true},
      {"lift-off, gear down and locked", 60, 95, 95, 160, 900, 2000, 1, 1, 16384, 0, false},
      {"gear coming up", 60, 95, 95, 180, 1500, 2000, 1, 0, 8000, 0, false},
      {"gear up", 60, 95, 95, 200, 3000, 2000, 1, 0, 0, 0, false},
      {"climb through 10000 with slats", 60, 95, 95, 250, 10500, 2000, 1, 0, 0, 0, false},
      {"clean climb", 60, 95, 95, 290, 20000, 1500, 0, 0, 0, 0, false},
      {"cruise", 60, 85, 85, 280, 35000, 0, 0, 0, 0, 0, false},
      {"a turn", 200, 85, 85, 280, 35000, 0, 0, 0, 0, 0.5f, false},
      {"descent", 200, 70, 70, 280, 20000, -2000, 0, 0, 0, 0.5f, false},
      {"gear down on approach", 120, 70, 70, 150, 2000, -700, 3, 1, 9000, 0.5f, false},
      {"gear locked on final", 60, 70, 70, 140, 500, -700, 3, 1, 16384, 0.5f, false},
      {"landing roll", 60, 70, 70, 100, 400, 0, 3, 1, 16384, 0.5f, true},
      {"shut down at the gate", 60, 0, 0, 0, 400, 0, 0, 1, 16384, 0.5f, true},
  };
  std::vector<SdPage> shown;
  std::vector<std::string> where;
  for (const Phase& p : flight) {
    FlightDataBlock b;
    b.setF32(130, float(double(p.n2e1) * 163.84));
    b.setF32(180, float(double(p.n2e2) * 163.84));
    b.setF32(25, p.speed);
    b.setF32(29, p.altitude);
    b.setF32(30, p.feetPerMinute / 0.76893747f);
    b.setF32(37, p.flaps);
    b.setF32(215, p.gearLever);
    b.setF32(216, p.noseGear);
    b.setF32(164, p.stick);
    b.setU32(221, p.onGround ? 2u : 0u);
    for (int i = 0; i < p.frames; ++i) {
      d.draw(b);
      if (shown.empty() || shown.back() != d.sd().lastPage) {
        shown.push_back(d.sd().lastPage);
        where.push_back(p.name);
      }
    }
  }
  const std::vector<SdPage> expected = {SdPage::Door, SdPage::Wheel,  SdPage::Eng,   SdPage::Cruise,
                                        SdPage::Fctl, SdPage::Wheel, SdPage::Door};
  const std::vector<std::string> expectedWhere = {"cold and dark",  "engine 2 start", "climb through 10000 with slats",
                                                  "clean climb",    "a turn",         "gear down on approach",
                                                  "shut down at the gate"};
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(where, expectedWhere);
}

}  // namespace
