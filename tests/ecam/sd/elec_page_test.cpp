// ELEC page: the generator model's cases and a negative load as drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ecam/sd/elec_page.h"
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct ElecDisplay : PageDisplay {
  explicit ElecDisplay(int size = 200) : PageDisplay(size, 4, SdPage::Elec) {}
};

struct Shown {
  int load, voltage, frequency, labelColour, valueColour;
};

void expectShown(const sd::elec::Generator& g, const Shown& s, const char* name) {
  EXPECT_EQ(std::trunc(g.load), s.load) << name;
  EXPECT_EQ(std::trunc(g.voltage), s.voltage) << name;
  EXPECT_EQ(std::trunc(g.frequency), s.frequency) << name;
  EXPECT_EQ(g.labelColour, s.labelColour) << name;
  EXPECT_EQ(g.valueColour, s.valueColour) << name;
}

TEST(ElecPage, GeneratorsFollowDrivesAndAltitude) {
  struct Case {
    float drive1, drive2, altitude;
    Shown gen1, gen2, apu;
    bool apuOnLine;
  };
  const Case cases[] = {
      // Both running at full output, low: nominal values.
      {30, 30, 0, {31, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      // High with both running: the APU generator is off and GEN 2 takes its share.
      {30, 30, 3500, {31, 115, 400, 0, 2}, {37, 115, 400, 0, 2}, {0, 0, 0, 5, 5}, false},
      {30, 30, 3000, {31, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      // A weak drive lowers the values in proportion to its inverse.
      {30, 10, 0, {31, 115, 400, 0, 2}, {14, 105, 395, 0, 5}, {19, 115, 400, 0, 2}, true},
      {10, 30, 0, {26, 105, 395, 0, 5}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      {20, 20, 0, {31, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      // A drive of exactly 1 is a stopped engine; the other generator takes 10 % more.
      {30, 1, 0, {41, 115, 400, 0, 2}, {0, 0, 0, 5, 5}, {19, 115, 400, 0, 2}, true},
      {1, 30, 0, {0, 0, 0, 5, 5}, {29, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      // With an engine stopped the APU generator stays on line when high, labelled green.
      {30, 1, 35000, {41, 115, 400, 0, 2}, {0, 0, 0, 5, 5}, {19, 115, 400, 2, 2}, true},
      // Both stopped: the APU generator carries everything.
      {0, 0, 0, {0, 0, 0, 5, 5}, {0, 0, 0, 5, 5}, {39, 115, 400, 0, 2}, true},
      {0, 0, 9000, {0, 0, 0, 5, 5}, {0, 0, 0, 5, 5}, {39, 115, 400, 2, 2}, true},
      {-50, NAN, 0, {0, 0, 0, 5, 5}, {0, 0, 0, 5, 5}, {39, 115, 400, 0, 2}, true},
      // Just above 1 the reduced load goes below zero.
      {1.25f, 30, 0, {-9, 35, 360, 0, 5}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
      {INFINITY, 30, NAN, {31, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, {19, 115, 400, 0, 2}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "drives " << c.drive1 << ", " << c.drive2 << " at " << c.altitude << " ft");
    const sd::elec::Network n = sd::elec::network(c.drive1, c.drive2, c.altitude);
    expectShown(n.gen1, c.gen1, "GEN 1");
    expectShown(n.gen2, c.gen2, "GEN 2");
    expectShown(n.apuGen, c.apu, "APU GEN");
    EXPECT_EQ(n.apuOnLine, c.apuOnLine);
  }
}

// A weak engine 2 drives its generator's load below 0: the sign takes the
// blank cell while there is one; beyond that the load is not drawn at all.
TEST(ElecPage, NegativeLoadShowsItsSignOrNothing) {
  using namespace sdgeo;
  struct Case {
    float drive;
    const char *load, *voltage;
  };
  const Case cases[] = {{5.0f, "9", "95"}, {2.0f, "-6", "65"}, {1.2f, "", "31"}};
  for (const Case& c : cases) {
    ElecDisplay d;
    FlightDataBlock b;
    b.setF32(148, 30.0f);
    b.setF32(198, c.drive);
    GlyphCapture cap(d.sd().textures.data());
    d.draw(b);
    EXPECT_EQ(cap.textAt(kElecGen2.loadX, kElecGen2.loadY, 0.2), c.load) << c.drive << "\n" << cap.dump();
    EXPECT_EQ(cap.textAt(kElecGen2.valueX, kElecGen2.voltageY, 0.2), c.voltage) << c.drive;
  }
}

}  // namespace
