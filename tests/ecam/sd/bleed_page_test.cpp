// BLEED page: the precooler temperature model over many draws, the values
// derived from N2 and what the page draws for them.
#include <gtest/gtest.h>

#include <cmath>

#include "ecam/sd/bleed_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct BleedDisplay : PageDisplay {
  explicit BleedDisplay(int size = 256) : PageDisplay(size, 2, SdPage::Bleed) {}
};

FlightDataBlock withN2(float engine1, float engine2) {
  FlightDataBlock b;
  b.setF32(130, float(double(engine1) * 163.84));
  b.setF32(180, float(double(engine2) * 163.84));
  return b;
}

float t1() { return sd::bleed::precoolers().temperature[0]; }
float t2() { return sd::bleed::precoolers().temperature[1]; }

// A start, a long overspeed, then back through the switch between the laws.
TEST(BleedPage, PrecoolerTemperaturesOverDraws) {
  BleedDisplay d(16);
  d.draw(withN2(80, 15));
  EXPECT_NEAR(t1(), 257.16f, 1e-3);
  EXPECT_NEAR(t2(), 49.405f, 1e-3);

  d.draw(withN2(110, 15), 1000);  // creeps 0.04 per draw
  EXPECT_NEAR(t1(), 297.16f, 0.02);
  EXPECT_NEAR(t2(), 49.405f, 1e-3);
  d.draw(withN2(110, 15), 4700);  // 5700 draws in all: far past 484
  const float top = t1();
  EXPECT_GT(top, 484.0f);
  EXPECT_LE(top, 484.05f);
  d.draw(withN2(110, 15), 100);
  EXPECT_EQ(t1(), top);

  d.draw(withN2(75, 15));  // above 339: the upper law
  EXPECT_NEAR(t1(), 347.5f, 1e-3);
  d.draw(withN2(70, 15));
  EXPECT_NEAR(t1(), 324.4f, 1e-3);
  d.draw(withN2(70, 15));  // below 339 again: the lower law
  EXPECT_NEAR(t1(), 224.89f, 1e-3);
  d.draw(withN2(70, 15), 50);
  EXPECT_NEAR(t1(), 224.89f, 1e-3);
}

TEST(BleedPage, EnginesHaveTheirOwnOffsets) {
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(0.0f, 50.0f, 0), 160.35f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(0.0f, 50.0f, 1), 162.35f);
  // Up to 104 percent the lower law stays below 339; only the overspeed
  // creep takes a precooler onto the upper law.
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(0.0f, 104.0f, 0), 334.608f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(0.0f, 104.0f, 1), 336.608f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(400.0f, 100.0f, 0), 463.0f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(400.0f, 100.0f, 1), 461.0f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(339.0f, 50.0f, 0), 232.0f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(484.0f, 104.5f, 1), 484.04f);
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(484.05f, 104.5f, 1), 484.05f);
  // 104 itself is no overspeed.
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(484.05f, 104.0f, 0), 481.48f);
  // A lost N2 word leaves a NaN for one draw only.
  EXPECT_TRUE(std::isnan(sd::bleed::stepTemperature(200.0f, NAN, 0)));
  EXPECT_FLOAT_EQ(sd::bleed::stepTemperature(NAN, 80.0f, 0), 370.6f);
}

TEST(BleedPage, PressureAndValves) {
  struct Case {
    float n2, pressure, valve;
  };
  const Case cases[] = {{0, 0, 0},    {15, 33, 0},      {19.9f, 43.78f, 0}, {20, 44, 0},
                        {21, 44, 0},  {21.01f, 44, 90}, {80, 44, 90},       {-5, -11, 0}};
  for (const Case& c : cases) {
    EXPECT_NEAR(sd::bleed::bleedPressure(c.n2), c.pressure, 1e-4) << c.n2;
    EXPECT_EQ(sd::bleed::valveAngle(c.n2), c.valve) << c.n2;
  }
  EXPECT_EQ(sd::bleed::bleedPressure(NAN), 44.0f);
  EXPECT_EQ(sd::bleed::valveAngle(NAN), 0.0f);
}

TEST(BleedPage, PackValuesAndNeedles) {
  const sd::bleed::Pack p = sd::bleed::pack(257.16f);
  EXPECT_EQ(p.upper, 31);
  EXPECT_EQ(p.lower, 64);
  EXPECT_TRUE(p.upperLive);
  EXPECT_TRUE(p.lowerLive);

  struct Case {
    float t;
    std::int32_t upper, lower;
    bool upperLive, lowerLive;
  };
  const Case cases[] = {{0, 0, 0, false, false},      {3.9f, 0, 0, false, false},
                        {4, 0, 1, false, true},       {193, 23, 48, false, true},
                        {194, 24, 48, true, true},    {NAN, 0, 0, false, false},
                        {-100, -12, -25, false, false}};
  for (const Case& c : cases) {
    const sd::bleed::Pack k = sd::bleed::pack(c.t);
    EXPECT_EQ(k.upper, c.upper) << c.t;
    EXPECT_EQ(k.lower, c.lower) << c.t;
    EXPECT_EQ(k.upperLive, c.upperLive) << c.t;
    EXPECT_EQ(k.lowerLive, c.lowerLive) << c.t;
  }
  EXPECT_EQ(sd::bleed::pack(0).upperAngle, -46.0f);
  EXPECT_EQ(sd::bleed::pack(0).lowerAngle, -23.0f);
}

// A precooler temperature above 300 moves up and changes colour.
TEST(BleedPage, HotTemperatureMovesUp) {
  using namespace sdgeo;
  // Start where one overspeed draw lands exactly on 300 in floats.
  float start = 300.0f - 0.04f;
  for (int i = 0; i < 8 && start + 0.04f != 300.0f; ++i) start = std::nextafter(start, 301.0f);
  ASSERT_EQ(start + 0.04f, 300.0f);
  struct Case {
    float before;
    const char* text;
    int colour;
    float y;
  };
  const Case cases[] = {{start, "300", 2, kBleedTempY}, {300.06f, "300", 5, kBleedTempHotY}};
  for (const Case& c : cases) {
    BleedDisplay d(64);
    sd::bleed::precoolers().temperature[0] = c.before;
    GlyphCapture cap(d.sd().textures.data());
    d.draw(withN2(110, 0));
    EXPECT_EQ(cap.textAt(kBleedTempX[0], c.y, 0.2), c.text) << c.before << "\n" << cap.dump();
    EXPECT_EQ(cap.colourAt(kBleedTempX[0], c.y, 0.2), c.colour) << c.before;
    const float other = c.y == kBleedTempY ? kBleedTempHotY : kBleedTempY;
    EXPECT_EQ(cap.textAt(kBleedTempX[0], other, 0.2), "") << c.before;
  }
}

}  // namespace
