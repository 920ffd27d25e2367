// System pages in states the reference set does not show, as whole
// pictures: which readouts turn amber or red, which valves, symbols and
// doors show and in what colour, where the needles point. Each is drawn
// from a fresh start and compared with a reviewed picture.
#include <gtest/gtest.h>

#include "page_test_support.h"
#include "support/golden.h"

namespace {

struct Picture {
  const char* name;
  std::uint32_t page;
  SdPage expect;
  void (*set)(FlightDataBlock&);
};

const Picture kPictures[] = {
    // Engine 2's drive at 10: its generator's values drop and turn amber.
    {"ecam-sd-elec-weak-drive", 4, SdPage::Elec,
     [](FlightDataBlock& b) {
       b.setF32(148, 30.0f);
       b.setF32(198, 10.0f);
     }},
    // A minute of flow; oil at 8 psi (red) and 100 psi; N1 and N2 words for
    // the vibrations (the N2 of engine 1 reads 1.7 although its float is a
    // little less).
    {"ecam-sd-eng-low-oil", 1, SdPage::Eng,
     [](FlightDataBlock& b) {
       b.setF32(5, 60.9f);
       b.setF32(112, 36000.0f);
       b.setF32(113, 3600.0f);
       b.setF32(123, 3384.0f);
       b.setF32(173, 42300.0f);
       b.setF32(124, 1500.0f);
       b.setF32(174, 8799.0f);
       b.setF32(129, 16000.0f);
       b.setF32(130, 10000.0f);
       b.setF32(180, 25000.0f);
     }},
    // On the ground with engine 1 weak: the yellow electric pump feeds the
    // green system through the PTU; blue is low.
    {"ecam-sd-hyd-ground", 5, SdPage::Hyd,
     [](FlightDataBlock& b) {
       b.setF32(126, 5e6f);
       b.setU32(221, 2u);
     }},
    // In flight on engine 1 alone: the PTU feeds yellow; blue and yellow low.
    {"ecam-sd-hyd-one-engine", 5, SdPage::Hyd, [](FlightDataBlock& b) { b.setF32(126, 5e6f); }},
    // Gear coming down: nose locked, left main in transit with its door
    // hanging open, right main still up; TAT 0 puts brakes 1 and 3 below 0.
    {"ecam-sd-wheel-gear-transit", 10, SdPage::Wheel,
     [](FlightDataBlock& b) {
       b.setU32(221, 2u);
       b.setF32(215, 1.0f);
       b.setF32(216, 16384.0f);
       b.setF32(217, 9000.0f);
     }},
    // The door bit set: every door closed, texts green.
    {"ecam-sd-door-closed", 9, SdPage::Door, [](FlightDataBlock& b) { b.setU32(221, 0x2000u); }},
    // A warm day on the ground: the trim valves stay shut, so does the hot-air valve.
    {"ecam-sd-cond-warm-day", 8, SdPage::Cond, [](FlightDataBlock& b) { b.setF32(7, 25.0f); }},
    // Above 3000 ft with both engines running the APU is not available:
    // crosses for its values, its bleed valve shut, no generator arrow.
    {"ecam-sd-apu-unavailable", 7, SdPage::Apu,
     [](FlightDataBlock& b) {
       b.setF32(29, 5000.0f);
       b.setF32(148, 2.0f);
       b.setF32(198, 2.0f);
     }},
    // Engine 2 at 15 % N2: its bleed valve shut, pack 2 too cool for green.
    {"ecam-sd-bleed-engine2-low", 2, SdPage::Bleed,
     [](FlightDataBlock& b) {
       b.setF32(130, 80.0f * 163.84f);
       b.setF32(180, 15.0f * 163.84f);
     }},
};

class PagePicture : public testing::TestWithParam<Picture> {};

TEST_P(PagePicture, DrawsAsReviewed) {
  const Picture& p = GetParam();
  sdtest::PageDisplay d(320, p.page, p.expect);
  FlightDataBlock b;
  p.set(b);
  d.draw(b);
  std::vector<std::uint8_t> rgba = d.ow.pixels();
  for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;  // a screen shows no alpha
  EXPECT_TRUE(testing_support::MatchesReference(p.name, rgba, d.size, d.size));
}

void PrintTo(const Picture& p, std::ostream* os) { *os << p.name; }

INSTANTIATE_TEST_SUITE_P(States, PagePicture, testing::ValuesIn(kPictures), [](const auto& info) {
  std::string n = info.param.name;
  for (char& c : n)
    if (c == '-') c = '_';
  return n;
});

}  // namespace
