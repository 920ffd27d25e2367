// Any 1024-byte block through each system page: no crash, the page stays
// put and the page models stay finite.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "ecam/sd/apu_page.h"
#include "ecam/sd/bleed_page.h"
#include "ecam/sd/cond_page.h"
#include "ecam/sd/elec_page.h"
#include "ecam/sd/wheel_page.h"
#include "page_test_support.h"

namespace {

using namespace sdtest;

constexpr float kBig = 3.4e38f;

struct RandomCase {
  const char* name;
  std::uint32_t page;
  SdPage expect;
  int size, frames;
  unsigned seed;
  float smallScale;
  std::vector<float> specials;
  void (*prepare)(FlightDataBlock&, int frame) = nullptr;
  // Returns false when the models left their range or the page moved.
  bool (*sane)(const FlightDataBlock&, SdPage shown) = nullptr;
  // Checks once sane data returns.
  void (*after)(PageDisplay&) = nullptr;
};

bool zonesFinite(const FlightDataBlock&, SdPage) {
  for (float z : sd::cabinState().zoneTemperature)
    if (!std::isfinite(z)) return false;
  return true;
}

const RandomCase kCases[] = {
    {"ENG", 1, SdPage::Eng, 64, 3000, 1, 1e-3f, {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0, -0.0f, 3384, 15300}},
    {"BLEED", 2, SdPage::Bleed, 48, 3000, 13, 1e-4f, {NAN, INFINITY, -INFINITY, kBig, -kBig, 0, 17000, 16383},
     nullptr, nullptr,
     // 70 percent N2 ends below 339 on either law, so 80 then takes the lower one.
     [](PageDisplay& d) {
       for (float n2 : {70.0f, 80.0f}) {
         FlightDataBlock sane;
         sane.setF32(130, float(double(n2) * 163.84));
         sane.setF32(180, float(double(n2) * 163.84));
         d.draw(sane);
       }
       EXPECT_NEAR(sd::bleed::precoolers().temperature[0], 257.16f, 1e-3);
       EXPECT_NEAR(sd::bleed::precoolers().temperature[1], 259.16f, 1e-3);
     }},
    {"PRESS", 3, SdPage::Press, 48, 3000, 3, 1e-4f, {NAN, INFINITY, -INFINITY, kBig, -kBig, 0, 40000, -6500}},
    {"ELEC", 4, SdPage::Elec, 64, 2000, 4, 1e-8f, {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0, 1, 1.0000001f, 20, 3000},
     nullptr,
     [](const FlightDataBlock& b, SdPage) {
       const sd::elec::Network n = sd::elec::network(b.f32(148), b.f32(198), b.f32(29));
       for (const sd::elec::Generator* g : {&n.gen1, &n.gen2, &n.apuGen})
         if (!std::isfinite(g->load) || !std::isfinite(g->voltage) || !std::isfinite(g->frequency)) return false;
       return true;
     }},
    {"HYD", 5, SdPage::Hyd, 64, 3000, 5, 0.01f, {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0, 9e6f, 12e6f, -2.2e9f}},
    {"COND", 8, SdPage::Cond, 64, 3000, 8, 1e-5f, {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0, 5, 150, 4000},
     [](FlightDataBlock&, int frame) {
       if (frame % 500 == 0) sd::cabinState().seed = true;
     },
     [](const FlightDataBlock& b, SdPage shown) {
       for (float v : sd::cond::trimValves().opening)
         if (!std::isfinite(v) || v > 200.0f) return false;
       return zonesFinite(b, shown);
     }},
    {"DOOR", 9, SdPage::Door, 48, 3000, 9, 1e-4f, {NAN, INFINITY, -INFINITY, kBig, -kBig, 0, 40000, 99}},
    // F/CTL by number every other frame, the automatic choice between.
    {"F/CTL", 0, SdPage::None, 48, 3000, 11, 1e-9f, {NAN, INFINITY, -INFINITY, kBig, -kBig, 0, 10983, 16383, -0.5f},
     [](FlightDataBlock& b, int frame) { b.setU32(40, (frame % 2 ? 11u : 0u) << 24); },
     [](const FlightDataBlock& b, SdPage shown) { return b.u32(40) == 0 || shown == SdPage::Fctl; }},
    // CRUISE has no number: every rule that would leave it is kept quiet.
    {"CRUISE", 0, SdPage::Cruise, 64, 3000, 6, 1e-5f, {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0, 5, 150},
     [](FlightDataBlock& b, int frame) {
       if (frame == 0) {
         sd::frameState().automaticPage = sd::kAutoCruise;
         sd::frameState().initialFuelKg = sd::kDefaultInitialFuelKg;
         sd::frameState().initialFuelKnown = true;
       }
       b.setU32(40, 0);
       for (int w : {37, 215, 216, 164, 211, 180}) b.setF32(w, 0.0f);
       b.setU32(221, b.u32(221) & ~2u);
       if (frame % 2) {  // on the ground with engine 1 alone, so not DOOR
         b.setU32(221, 2);
         b.setF32(130, 30.0f * 163.84f);
       }
     },
     zonesFinite},
};

void PrintTo(const RandomCase& c, std::ostream* os) { *os << c.name; }

class RandomBlocks : public testing::TestWithParam<RandomCase> {};

TEST_P(RandomBlocks, DrawWithoutHarm) {
  const RandomCase& c = GetParam();
  PageDisplay d(c.size, c.page, c.expect);
  std::mt19937 rng(c.seed);
  FlightDataBlock b;
  for (int frame = 0; frame < c.frames; ++frame) {
    randomise(b, rng, c.specials, c.smallScale);
    if (c.prepare) c.prepare(b, frame);
    d.draw(b);
    if (HasFatalFailure()) FAIL() << "frame " << frame;
    if (c.sane) {
      ASSERT_TRUE(c.sane(b, d.sd().lastPage)) << "frame " << frame;
    }
  }
  if (c.after) c.after(d);
}

INSTANTIATE_TEST_SUITE_P(SystemPages, RandomBlocks, testing::ValuesIn(kCases), [](const auto& info) {
  std::string n = info.param.name;
  std::erase(n, '/');
  return n;
});

// FUEL, APU and WHEEL in turn with runs of kept words, so the models see
// sequences; then sane data brings the brakes back to the ambient.
TEST(RandomBlocksRecovery, FuelApuAndWheelPages) {
  PageDisplay d(64);
  std::mt19937 rng(6);
  const float specials[] = {NAN, INFINITY, -INFINITY, 1e38f, -1e38f, 0.0f, -0.0f, 3000.0f, 16300.0f, 100.0f};
  const std::uint32_t pages[] = {6, 7, 10};
  FlightDataBlock b;
  for (int frame = 0; frame < 3000; ++frame) {
    for (int w = 0; w < 256; ++w) {
      const std::uint32_t r = rng();
      switch (r % 4) {
        case 0: b.setU32(w, std::uint32_t(rng())); break;
        case 1: b.setF32(w, specials[rng() % std::size(specials)]); break;
        case 2: b.setF32(w, std::uniform_real_distribution<float>(-20000.0f, 20000.0f)(rng)); break;
        default: break;
      }
    }
    b.setU32(40, (pages[frame % 3] << 24) | (std::uint32_t(rng()) & 0xF0FFFFFFu));
    d.shown(b);
    const sd::apu::ApuModel& a = sd::apu::apuModel();
    ASSERT_TRUE(std::isfinite(a.load) && std::isfinite(a.voltage) && std::isfinite(a.frequency) &&
                std::isfinite(a.bleed) && std::isfinite(a.speed) && std::isfinite(a.egt))
        << "frame " << frame;
    ASSERT_TRUE(std::isfinite(sd::wheel::brakeModel().touchdownHeat)) << "frame " << frame;
  }
  FlightDataBlock calm;
  calm.setU32(40, 10u << 24);
  calm.setU32(221, 2u);
  calm.setF32(8, 20.0f / 250.0f);
  calm.setF32(25, 120.0f);  // a touchdown left armed spends its pulse first
  d.draw(calm, 1200);
  const sd::wheel::BrakeModel& m = sd::wheel::brakeModel();
  const float rest[] = {19.0f, 22.0f, 18.0f, 21.0f};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(m.temperature[i], rest[i]) << "brake " << i;
}

}  // namespace
