#include "ecam/ewd/engine_warning_display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

#include "ecam/ewd/ewd_geometry.h"
#include "ewd_pixels.h"
#include "support/golden.h"

namespace {

using namespace ewd_test;

// Colour classes of the display's inks, robust to smoothed edges.
bool textGreen(Rgb c) { return c.g > 100 && c.r < 0.25 * c.g && c.b < 0.25 * c.g; }
bool textRed(Rgb c) { return c.r > 120 && c.g < 0.35 * c.r && c.b < 0.35 * c.r; }
bool outlineBlue(Rgb c) { return c.b > 60 && c.g < 0.85 * c.b && c.g > 0.5 * c.b && c.r < 0.15 * c.b + 5; }
bool white(Rgb c) { return c.r > 150 && c.g > 150 && c.b > 150; }
bool ink(Rgb c) { return c.r > 40 || c.g > 40 || c.b > 40; }

// Any pixel of the class within radius pixels of the point.
bool near(const Pixels& p, float x, float y, const std::function<bool(Rgb)>& is, int radius = 1) {
  const int cx = toPixel(x), cy = toPixel(y);
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (is(at(p, cx + dx, cy + dy))) return true;
  return false;
}

// The raw word that converts to exactly this percentage (or the closest one).
float rawFor(float percent) {
  float raw = percent / ewd::kPercentPerRaw;
  for (int i = 0; i < 64 && ewd::rawToPercent(raw) != percent; ++i)
    raw = std::nextafter(raw, ewd::rawToPercent(raw) < percent ? 1e9f : -1e9f);
  return raw;
}
float rankineFor(float celsius) { return (celsius + 273.15f) / 0.5555556f; }

using EngineDisplay = DisplayFixture;

TEST(EngineGauges, DialAngleTable) {
  EXPECT_NEAR(ewdgeo::n1DialAngle(0.0f), 24.0f, 1e-4);
  EXPECT_NEAR(ewdgeo::n1DialAngle(49.9f), -45.86f, 1e-3);
  EXPECT_FLOAT_EQ(ewdgeo::n1DialAngle(50.0f), -46.0f);
  EXPECT_FLOAT_EQ(ewdgeo::n1DialAngle(100.0f), -156.0f);
  EXPECT_FLOAT_EQ(ewdgeo::n1DialAngle(115.0f), -189.0f);
  EXPECT_FLOAT_EQ(ewdgeo::n1DialAngle(130.0f), -189.0f);
  EXPECT_FLOAT_EQ(ewdgeo::n1DialAngle(1e30f), -189.0f);
  EXPECT_FLOAT_EQ(ewd::rawToPercent(16384.0f), 100.0f);
}

TEST(EngineGauges, EgtClampsAndAngles) {
  EXPECT_FLOAT_EQ(ewd::clampEgt(ewd::rankineToCelsius(0.0f)), 0.0f);
  EXPECT_FLOAT_EQ(ewdgeo::egtDialAngle(ewd::clampEgt(-50.0f)), 34.0f);
  EXPECT_FLOAT_EQ(ewd::clampEgt(1200.0f), 1000.0f);
  EXPECT_FLOAT_EQ(ewdgeo::egtDialAngle(ewd::clampEgt(1200.0f)), -146.0f);
  EXPECT_FLOAT_EQ(ewd::clampEgt(640.5f), 640.5f);
  EXPECT_NEAR(ewd::rankineToCelsius(rankineFor(500.0f)), 500.0f, 0.01);
}

// A raw percent word as a simulator interface makes it: in double, then
// rounded once to a float.
float sentAs(double percent) { return float(percent * 16384.0 / 100.0); }

TEST(EngineGauges, PercentReadoutCellsTenthAndColour) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float raw;
    const char* whole;  // "" : nothing drawn
    int tenth, colour;
  } cases[] = {
      {sentAs(85.2), " 85.", 2, 2},       {sentAs(85.25), " 85.", 2, 2},     {sentAs(85.19), " 85.", 1, 2},
      {sentAs(49.9), " 49.", 9, 2},       {16384.0f, "100.", 0, 2},          {sentAs(100.05), "100.", 0, 6},
      {sentAs(100.01), "100.", 0, 6},     {0.0f, "  0.", 0, 2},              {sentAs(-5.3), " -5.", 3, 2},
      {sentAs(-0.5), " -0.", 5, 2},       {sentAs(-0.04), "  0.", 0, 2},     {sentAs(999.9), "999.", 9, 6},
      {sentAs(-99.9), "-99.", 9, 2},      {sentAs(1000.0), "", 0, 0},        {sentAs(-100.0), "", 0, 0},
      {sentAs(2147483647.0), "", 0, 0},   {sentAs(-2147483648.0), "", 0, 0}, {std::nanf(""), "", 0, 0},
      {inf, "", 0, 0},                    {-inf, "", 0, 0},
  };
  for (const Case& c : cases) {
    const ewd::PercentReadout r = ewd::percentReadout(c.raw);
    EXPECT_EQ(r.whole, c.whole) << c.raw;
    if (*c.whole) {
      EXPECT_EQ(r.tenth, c.tenth) << c.raw;
      EXPECT_EQ(r.colour, c.colour) << c.raw;
    }
  }
  // Every tenth up to 120 %, whether the sender worked in double or in
  // float, reads as sent.
  for (int tenths = 0; tenths <= 1200; ++tenths) {
    const double percent = tenths / 10.0;
    for (const float raw : {sentAs(percent), float(percent) * 163.84f}) {
      const ewd::PercentReadout r = ewd::percentReadout(raw);
      char want[8];
      std::snprintf(want, sizeof want, "%3d.", tenths / 10);
      ASSERT_EQ(r.whole, want) << percent;
      ASSERT_EQ(r.tenth, tenths % 10) << percent;
      ASSERT_EQ(r.colour, tenths > 1000 ? 6 : 2) << percent;
    }
  }
}

TEST(EngineGauges, RoundedReadoutFitsItsCellsOrIsEmpty) {
  struct Case {
    float value;
    int width, cells;
    const char* text;
  } cases[] = {{642.4f, 3, 4, "642"},  {1000.0f, 3, 4, "1000"}, {0.4f, 3, 4, "  0"},   {453.5f, 4, 4, " 454"},
               {9999.4f, 4, 4, "9999"}, {9999.5f, 4, 4, ""},     {-999.0f, 4, 4, "-999"}, {-1000.0f, 4, 4, ""},
               {3e38f, 4, 4, ""},       {-3e38f, 4, 4, ""},      {std::nanf(""), 4, 4, ""}};
  for (const Case& c : cases) EXPECT_EQ(ewd::roundedCells(c.value, c.width, c.cells), c.text) << c.value;
}

TEST(EngineGauges, ThrustModeTable) {
  struct {
    float lever;
    const char* text;
    std::int32_t limit;
  } cases[] = {{95.0f, "FLX", 95},  {95.01f, "TO-GA", 101}, {92.01f, "FLX", 95},   {92.0f, "CL", 92},
               {1.01f, "CL", 92},   {1.0f, "IDLE", 0},      {-20.0f, "IDLE", 0},   {std::nanf(""), "IDLE", 0},
               {1e30f, "TO-GA", 101}};
  for (const auto& c : cases) {
    const ewd::ThrustMode m = ewd::thrustMode(c.lever);
    EXPECT_STREQ(m.text, c.text) << c.lever;
    EXPECT_EQ(m.limit, c.limit) << c.lever;
  }
}

TEST(FlapDetents, IndexNamesAndOpenCases) {
  const ewd::FlapSettings defaults{0.0f, 3.0f, 15.0f, 25.0f, 30.0f, 40.0f};
  struct {
    float f;
    int detent;
    bool at;
  } cases[] = {{0, 0, true},     {1.5f, 0, false}, {3, 1, true},     {14.9f, 1, false}, {15, 2, true},
               {25, 3, true},    {27.5f, 3, false}, {30, 4, true},    {40, 5, true},     {45, 5, false},
               {-5, 0, false},   {std::nanf(""), 0, false}};
  for (const auto& c : cases) {
    const ewd::FlapFrame fr = ewd::flapFrame(c.f, defaults);
    EXPECT_EQ(fr.detent, c.detent) << c.f;
    EXPECT_EQ(fr.atDetent, c.at) << c.f;
  }
  const char* names[] = {"0", "1", "1+F", "2", "3", "FULL"};
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(ewd::detentName(i), names[i]);
  EXPECT_STREQ(ewd::detentName(-3), "0");
  EXPECT_STREQ(ewd::detentName(99), "FULL");

  // Below FLAPS_0 the symbols hold at detent 0 instead of running off the track.
  const ewd::FlapSymbols below = ewd::flapSymbols(ewd::flapFrame(-5.0f, defaults));
  const ewd::FlapSymbols zero = ewd::flapSymbols(ewd::flapFrame(0.0f, defaults));
  for (int k = 0; k < 3; ++k) {
    EXPECT_FLOAT_EQ(below.slat[k].x, zero.slat[k].x);
    EXPECT_FLOAT_EQ(below.flap[k].y, zero.flap[k].y);
  }

  // Between two detents the symbols lie halfway along their tracks; from
  // detent 3 on the flaps ride the fixed track's end.
  const ewd::FlapSymbols s15 = ewd::flapSymbols(ewd::flapFrame(1.5f, defaults));
  EXPECT_NEAR(s15.slat[1].x, (0.45188f + 0.36038f) / 2, 1e-5);
  EXPECT_NEAR(s15.slat[1].y, (0.08814f + 0.08731f) / 2, 1e-5);
  EXPECT_FLOAT_EQ(s15.flap[0].x, 0.55316f);
  const ewd::FlapSymbols s275 = ewd::flapSymbols(ewd::flapFrame(27.5f, defaults));
  EXPECT_FLOAT_EQ(s275.flapAnchor.x, 0.69998f);
  EXPECT_FLOAT_EQ(s275.flapAnchor.y, 0.01896f);
  EXPECT_NEAR(s275.flap[1].x, (0.80483f + 0.84108f) / 2, 1e-5);
  EXPECT_FLOAT_EQ(s275.slat[0].x, 0.35044f);

  // Unordered, infinite and NaN settings: every detent index stays in the
  // tables and the symbols stay between the extreme detent positions.
  const float inf = std::numeric_limits<float>::infinity();
  const ewd::FlapSettings odd[] = {{0, 20, 10, 30, 5, 40},
                                   {40, 30, 25, 15, 3, 0},
                                   {-inf, 3, 15, std::nanf(""), 30, inf},
                                   {5, 5, 5, 5, 5, 5}};
  for (const auto& s : odd) {
    for (float f = -50.0f; f <= 60.0f; f += 0.25f) {
      const ewd::FlapFrame fr = ewd::flapFrame(f, s);
      ASSERT_GE(fr.detent, 0);
      ASSERT_LE(fr.detent, 5);
      const ewd::FlapSymbols sym = ewd::flapSymbols(fr);
      for (const auto* tri : {&sym.flap, &sym.slat})
        for (const ewd::Point& p : *tri) {
          ASSERT_TRUE(p.x >= 0.27f && p.x <= 0.87f) << f << " " << p.x;
          ASSERT_TRUE(p.y >= -0.19f && p.y <= 0.09f) << f << " " << p.y;
        }
    }
  }
}

// Inside the engine 1 N1 readout box.
constexpr Box kN1Box1 = {-0.690f, 0.515f, -0.476f, 0.585f};

// Values with no place in a readout are not drawn; before, 2147483647. ran
// out of the N1 box across the labels and into engine 2's box.
TEST_F(EngineDisplay, ReadoutsNeverSpillOutOfTheirCells) {
  auto text = [](Rgb c) { return textGreen(c) || textRed(c); };
  // Between the engine 1 and engine 2 readouts of each row, where the
  // labels and units (white and cyan) are.
  const Box gaps[] = {{-0.455f, 0.515f, -0.16f, 0.585f},
                      {-0.50f, -0.03f, -0.13f, 0.03f},
                      {-0.50f, -0.21f, -0.13f, -0.15f}};
  const float hostile[] = {sentAs(2147483647.0), sentAs(-2147483648.0), sentAs(1000.0), sentAs(-100.0), 3e38f,
                           -3e38f};
  for (const float v : hostile) {
    FlightDataBlock b;
    for (int word : {129, 130, 179, 180}) b.setF32(word, v);
    for (int word : {120, 170}) b.setF32(word, v);
    const Pixels p = render(b);
    for (const Box& gap : gaps) EXPECT_EQ(count(p, gap, text), 0) << v << " at " << gap.x0 << ", " << gap.y0;
    EXPECT_EQ(count(p, kN1Box1, text), 0) << v;
  }
  // The widest values that fit stay in their boxes too.
  FlightDataBlock b;
  for (int word : {129, 130}) b.setF32(word, sentAs(999.9));
  for (int word : {179, 180}) b.setF32(word, sentAs(-99.9));
  b.setF32(120, 9999.0f);
  b.setF32(170, -999.0f);
  const Pixels p = render(b);
  for (const Box& gap : gaps) EXPECT_EQ(count(p, gap, text), 0) << gap.x0 << ", " << gap.y0;
  EXPECT_GT(count(p, kN1Box1, textRed), 20);
}

// As a pilot looks at it: the labels between the engines stand clear of
// both engines' dials, and the widest readouts ("100.0", "1000") clear of
// their box frames, by three pixels at least.
TEST_F(EngineDisplay, LabelsAndReadoutsKeepClearOfTheDialArt) {
  FlightDataBlock b;
  for (int word : {129, 179, 130, 180}) b.setF32(word, 16384.0f);
  for (int word : {158, 208}) b.setF32(word, rankineFor(1000.0f));
  const Pixels p = render(b);
  const Pixels labels = alone([](const FontSet& f) {
    DrawText(f, "N1", 0, 0.9f, -0.34f, 0.59f, -0.8f);
    DrawText(f, "EGT", 0, 0.9f, -0.38f, 0.23f, -0.8f);
  });
  auto within = [&](int x, int y, const std::function<bool(int, int)>& is) {
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        if (is(x + dx, y + dy)) return true;
    return false;
  };
  auto dialArt = [&](int x, int y) { return ink(at(p, x, y)) && !ink(at(labels, x, y)); };
  int labelPixels = 0;
  for (int y = toPixel(0.2f); y <= toPixel(0.7f); ++y)
    for (int x = toPixel(-0.45f); x <= toPixel(-0.15f); ++x) {
      if (!white(at(labels, x, y))) continue;
      ++labelPixels;
      EXPECT_FALSE(within(x, y, dialArt)) << "label touches the dial art at " << x << ", " << y;
    }
  EXPECT_GT(labelPixels, 100);

  auto frame = [&](int x, int y) {
    const Rgb c = at(p, x, y);
    return c.r > 90 && c.r < 190 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12;
  };
  const Box readouts[] = {{-0.72f, 0.50f, -0.44f, 0.60f}, {-0.17f, 0.50f, 0.11f, 0.60f},
                          {-0.68f, 0.14f, -0.42f, 0.25f}, {-0.13f, 0.14f, 0.13f, 0.25f}};
  for (const Box& box : readouts) {
    int text = 0;
    for (int y = toPixel(box.y0); y <= toPixel(box.y1); ++y)
      for (int x = toPixel(box.x0); x <= toPixel(box.x1); ++x) {
        if (!textGreen(at(p, x, y))) continue;
        ++text;
        EXPECT_FALSE(within(x, y, frame)) << "readout touches its box at " << x << ", " << y;
      }
    EXPECT_GT(text, 40) << box.x0 << ", " << box.y0;
  }
}

TEST_F(EngineDisplay, HiddenSlotDrawsNothingAndKeepsFlapMotion) {
  FlightDataBlock b;
  b.setF32(37, 1.0f);
  b.setF32(129, 16384.0f);
  render(b);
  ASSERT_EQ(d->flapMotion, 1);
  w.setVisible(1, 0);
  b.setF32(37, 0.5f);
  const Pixels p = render(b);
  EXPECT_EQ(d->flapMotion, 1);
  EXPECT_FLOAT_EQ(d->previousFlap, 1.0f);
  EXPECT_EQ(count(p, {-0.95f, -0.95f, 0.95f, 0.95f}, ink), 0);
}

// The flap text areas: label row with "S" and "F", and the detent name.
constexpr Box kFlapLabels = {0.24f, 0.105f, 0.82f, 0.185f};
constexpr Box kFlapName = {0.40f, -0.115f, 0.65f, -0.035f};
constexpr Box kIndicator = {0.25f, -0.23f, 0.9f, 0.1f};

TEST_F(EngineDisplay, FlapSequence) {
  struct Step {
    float f;
    int motion;
    int labelColour;  // -1: no label
    const char* name;  // null: no name
    int nameColour;
  };
  const Step steps[] = {
      {0.0f, 0, -1, nullptr, 0},   // 0 retracted
      {0.75f, 1, 1, "1", 1},       // 1 slats running out
      {1.5f, 1, 1, "1", 1},        // 2 halfway to detent 1
      {3.0f, 0, 0, "1", 2},        // 3
      {15.0f, 0, 0, "1+F", 2},     // 4
      {17.0f, 1, 1, "2", 1},       // 5
      {16.0f, -1, 1, "1+F", 1},    // 6 back towards 1+F
      {20.0f, 1, 1, "2", 1},       // 7
      {20.0f, 1, 1, "2", 1},       // 8 stopped: direction kept
      {25.0f, 0, 0, "2", 2},       // 9
      {27.5f, 1, 1, "3", 1},       // 10
      {40.0f, 0, 0, "FULL", 2},    // 11
      {45.0f, 1, 1, nullptr, 0},   // 12 beyond the last detent
      {-5.0f, -1, 1, "0", 1},      // 13 below FLAPS_0: travelling in segment 0
      {0.0f, 0, -1, nullptr, 0},   // 14
  };
  const ewd::FlapSettings settings = ewd::flapSettings(w);
  // The painted mark beyond the slat 1/1+F outline, under the slat cover.
  const ewd::Point slatMark = {0.2904f, 0.0416f};

  Pixels cyanOneF, greenOneF;
  for (std::size_t n = 0; n < std::size(steps); ++n) {
    const Step& s = steps[n];
    SCOPED_TRACE("step " + std::to_string(n) + " f " + std::to_string(s.f));
    FlightDataBlock b;
    b.setF32(37, s.f);
    const Pixels p = render(b);
    EXPECT_EQ(d->flapMotion, s.motion);
    EXPECT_FLOAT_EQ(d->previousFlap, s.f);

    const ewd::FlapFrame fr = ewd::flapFrame(s.f, settings);
    const Pixels ref = alone([&](const FontSet& f) {
      if (s.labelColour >= 0) {
        DrawText(f, "FLAP", s.labelColour, 0.9f, 0.415f, 0.11f, -0.8f);
        DrawText(f, "S", 2, 0.9f, 0.25f, 0.11f, -0.8f);
        DrawText(f, "F", 2, 0.9f, 0.75f, 0.11f, -0.8f);
      }
      if (s.name) {
        const std::string name = s.name;
        const float x = name == "1+F" ? 0.435f : (name == "FULL" ? 0.415f : 0.485f);
        DrawText(f, s.name, s.nameColour, 0.9f, x, -0.11f, -0.8f);
      }
    });
    EXPECT_EQ(differing(p, ref, kFlapLabels), 0);
    EXPECT_EQ(differing(p, ref, kFlapName), 0);
    if (s.name) {
      EXPECT_GT(count(p, kFlapName, ink), 10);
    }
    if (n == 6) cyanOneF = p;
    if (n == 4) greenOneF = p;

    // Covers over the detent marks only while retracted.
    EXPECT_EQ(near(p, slatMark.x, slatMark.y, white, 2), s.f > 0.0f);

    // Target outlines only while travelling towards a detent.
    const bool travelling = !fr.atDetent && fr.detent <= 4 && s.motion != 0 && s.f != 0.0f;
    if (!travelling) {
      EXPECT_EQ(count(p, kIndicator, outlineBlue), 0);
    }
  }
  // The name comparison tells colours apart.
  EXPECT_GT(differing(cyanOneF, greenOneF, kFlapName), 10);
}

// Whole pictures where the facts are the needles against their scales, the
// readouts' digits and colours, the thrust-mode line with its limit, the
// units, and the flap symbols with their target outlines: each row draws
// the flaps at one value, then at the next, and compares the second frame
// with a reviewed picture.
TEST_F(EngineDisplay, PicturesAsReviewed) {
  struct Row {
    const char* name;
    bool kg;
    double n1[2], n2[2];
    float egtC[2], lever[2], flow, fobLb, flapFrom, flapTo;
  };
  const Row rows[] = {
      // N1 just over 100 % in red and beyond the scale's end; EGT below and
      // above the dial; TO-GA; slats running out to 1.
      {"ecam-ewd-rising", true, {100.05, 130.0}, {94.4, 50.1}, {-273.15f, 1200.0f}, {95.01f, 30.0f}, 1000, 1000,
       0.75f, 1.5f},
      // A windmilling engine keeps its sign; pounds; FLX; flaps going back
      // towards 1+F.
      {"ecam-ewd-falling", false, {85.2, -3.7}, {20.0, 115.0}, {250.0f, 800.0f}, {95.0f, 92.0f}, 1000, 1000, 17.0f,
       16.0f},
      // Where the N1 scale changes pace; idle; flaps past 2 on the fixed track.
      {"ecam-ewd-full", true, {49.9, 50.0}, {0.0, 0.0}, {500.0f, -40.0f}, {1.0f, 92.0f}, 2600, 26000, 25.0f, 27.5f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    w.setWeightUnitKg(r.kg ? 1 : 0);
    FlightDataBlock b;
    for (int e = 0; e < 2; ++e) {
      b.setF32(129 + 50 * e, sentAs(r.n1[e]));
      b.setF32(130 + 50 * e, sentAs(r.n2[e]));
      b.setF32(158 + 50 * e, rankineFor(r.egtC[e]));
      b.setF32(141 + 50 * e, rawFor(r.lever[e]));
      b.setF32(120 + 50 * e, r.flow);
    }
    b.setF32(105, r.fobLb);
    b.setF32(37, r.flapFrom);
    render(b);
    b.setF32(37, r.flapTo);
    Pixels p = render(b);
    for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;  // a screen shows no alpha
    EXPECT_TRUE(testing_support::MatchesReference(r.name, p, kSize, kSize));
  }
}

TEST_F(EngineDisplay, HostileValuesDrawWithoutErrors) {
  const float inf = std::numeric_limits<float>::infinity();
  const float values[] = {std::nanf(""), inf, -inf, 3.4e38f, -3.4e38f, -1.0f, 1e10f};
  w.setFlapsSetting(3, std::nanf(""));
  w.setFlapsSetting(4, -inf);
  for (float v : values) {
    FlightDataBlock b;
    for (int word : {37, 105, 120, 129, 130, 141, 158, 170, 179, 180, 191, 208}) b.setF32(word, v);
    const Pixels p = render(b);
    ASSERT_GE(d->flapMotion, -1);
    ASSERT_LE(d->flapMotion, 1);
    // The labels are drawn whatever the values.
    EXPECT_GT(count(p, {-0.40f, 0.58f, -0.22f, 0.67f}, white), 5) << v;
  }
}

}  // namespace
