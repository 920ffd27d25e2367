// F/CTL page: surfaces from the stick and speed brake lever, the pitch trim
// readout, and the page as word 40 and the movement detector bring it up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ecam/sd/fctl_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

using FctlDisplay = PageDisplay;

FlightDataBlock fctlBlock(float pitch, float roll, float speedBrake = 0.0f, float trim = 0.0f) {
  FlightDataBlock b;
  b.setU32(40, 11u << 24);
  b.setF32(163, pitch);
  b.setF32(164, roll);
  b.setF32(211, speedBrake);
  b.setF32(213, trim);
  return b;
}

TEST(FctlPage, SpeedBrakeDetentsAreExact) {
  struct Case {
    float lever;
    std::int32_t level;
  };
  const Case cases[] = {{0, 0},         {8283, 1},      {10983, 2},      {13683, 3}, {16383, 4},
                        {10982, 0},     {10984, 0},     {10983.001f, 0}, {-8283, 0}, {16384, 0},
                        {NAN, 0},       {INFINITY, 0}};
  for (const Case& c : cases) EXPECT_EQ(sd::fctl::speedBrakeLevel(c.lever), c.level) << c.lever;
  const sd::fctl::Surfaces raised = sd::fctl::surfaces(0, 0, 10983);
  for (float s : raised.spoiler) EXPECT_FLOAT_EQ(s, 0.06f);
  const sd::fctl::Surfaces rest = sd::fctl::surfaces(0, 0, 10984);
  for (float s : rest.spoiler) EXPECT_EQ(s, 0.0f);
}

TEST(FctlPage, RollSpoilersAndSurfaces) {
  const sd::fctl::Surfaces s = sd::fctl::surfaces(0, 1, 0);
  const float expected[10] = {-0.06f, -0.06f, -0.1f, -0.14f, -0.1f, 0.1f, 0.14f, 0.1f, 0.06f, 0.06f};
  for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(s.spoiler[i], expected[i]) << "spoiler " << i + 1;
  EXPECT_FLOAT_EQ(s.leftAileron, -0.15f);  // limited from -0.353
  EXPECT_FLOAT_EQ(s.rightAileron, 0.15f);
  EXPECT_FLOAT_EQ(s.rudderDeg, 30.0f);
  EXPECT_EQ(s.elevator, 0.0f);

  // Brakes well out: less roll on each spoiler.
  const sd::fctl::Surfaces out = sd::fctl::surfaces(0, 0.5f, 16383);
  const float level4[10] = {0.095f, 0.095f, 0.085f, 0.085f, 0.085f, 0.155f, 0.155f, 0.155f, 0.145f, 0.145f};
  for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(out.spoiler[i], level4[i]) << "spoiler " << i + 1;
  const sd::fctl::Surfaces three = sd::fctl::surfaces(0, -1, 13683);
  EXPECT_FLOAT_EQ(three.spoiler[0], 0.14f);
  EXPECT_FLOAT_EQ(three.spoiler[9], 0.04f);

  // Spoilers keep growing with the input; the surfaces stop at their limits.
  const sd::fctl::Surfaces big = sd::fctl::surfaces(-10, -10, 0);
  EXPECT_FLOAT_EQ(big.spoiler[3], 1.4f);
  EXPECT_FLOAT_EQ(big.leftAileron, 0.15f);
  EXPECT_FLOAT_EQ(big.rightAileron, -0.15f);
  EXPECT_FLOAT_EQ(big.elevator, -0.13f);
  EXPECT_FLOAT_EQ(big.rudderDeg, -30.0f);

  EXPECT_FLOAT_EQ(sd::fctl::surfaces(1, 0, 0).elevator, 0.13f);  // limited from 0.353
  EXPECT_FLOAT_EQ(sd::fctl::surfaces(0.2f, 0.1f, 0).elevator, 0.0706f);
  EXPECT_FLOAT_EQ(sd::fctl::surfaces(0.2f, 0.1f, 0).rudderDeg, 3.0f);

  const sd::fctl::Surfaces lost = sd::fctl::surfaces(NAN, NAN, 0);
  for (float v : lost.spoiler) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(lost.elevator, 0.0f);
  EXPECT_EQ(lost.rudderDeg, 0.0f);
  EXPECT_EQ(lost.leftAileron, 0.0f);
}

TEST(FctlPage, PitchTrim) {
  EXPECT_FLOAT_EQ(sd::fctl::pitchTrim(-0.02f), -0.996f);
  EXPECT_EQ(sd::fctl::pitchTrim(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(sd::fctl::pitchTrim(0.1f), 4.9876f);
  EXPECT_FLOAT_EQ(sd::fctl::pitchTrim(-0.1f), -4.98f);
}

// Nose-down trim is negative: DN says so, the digits show how far.
TEST(FctlPage, TrimReadout) {
  using namespace sdgeo;
  struct Case {
    float word;
    const char *value, *direction;
  };
  const Case cases[] = {{0.0f, "00.0", "UP"},    {0.1f, "04.9", "UP"},    {0.3f, "14.9", "UP"},
                        {-0.02f, "00.9", "DN"},  {-0.1f, "04.9", "DN"},   {-0.3f, "14.9", "DN"},
                        {-0.001f, "00.0", "DN"}, {3.0f, "49.6", "UP"},    {NAN, "", "UP"}};
  FctlDisplay d(64);
  for (const Case& c : cases) {
    GlyphCapture cap(d.sd().textures.data());
    ASSERT_EQ(d.shown(fctlBlock(0, 0, 0, c.word)), SdPage::Fctl);
    EXPECT_EQ(cap.textAt(kTrimValue.x, kTrimValue.y, 0.15), c.value) << c.word << "\n" << cap.dump();
    EXPECT_EQ(cap.textAt(kTrimDirection.x, kTrimDirection.y, 0.15), c.direction) << c.word;
    EXPECT_EQ(cap.colourAt(kTrimDirection.x, kTrimDirection.y, 0.15), 2);
  }
}

// Just above a spoiler's rest line, inside the window the page leaves for it.
bool spoilerShows(const FctlDisplay& d, int i) {
  const sdgeo::Spoiler& s = sdgeo::kSpoilers[i];
  return d.near((s.x0 + s.x1) / 2, s.high + 0.03, 1, green);
}

TEST(FctlPage, SpoilersRiseInTheirWindows) {
  FctlDisplay d(256);
  d.shown(fctlBlock(0, 0));
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(spoilerShows(d, i)) << "spoiler " << i + 1 << " at rest";
  d.shown(fctlBlock(0, 0, 16383));
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(spoilerShows(d, i)) << "spoiler " << i + 1 << " with full brakes";
  // Roll right: left spoilers go below their rest lines, right ones rise.
  d.shown(fctlBlock(0, 1));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(spoilerShows(d, i)) << "spoiler " << i + 1;
  for (int i = 5; i < 10; ++i) EXPECT_TRUE(spoilerShows(d, i)) << "spoiler " << i + 1;
  // A huge roll puts every spoiler beyond the screen, up or down: the
  // windows stay empty.
  d.shown(fctlBlock(0, -1e30f));
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(spoilerShows(d, i)) << "spoiler " << i + 1;
}

}  // namespace
