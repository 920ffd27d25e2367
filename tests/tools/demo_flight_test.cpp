// The shipped demo flight, played into the whole default layout as fast as
// it draws: what it claims to show, it shows.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "ecam/ewd/warnings.h"
#include "ecam/sd/system_display.h"
#include "scenario.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

const char* const kEveryMessage[] = {
    "MAX TIRES SPEED", "HIGH GROUND SPEED", "HIGH AIRSPEED", "GEAR DOWN LOCKED", "SEAT BELTS", "INSUFFICENT FUEL",
    "LOW FUEL", "ALL TANKS EMPTY", "STALL", "OVERSPEED", "RELEASE BRAKES", "LDG LIGHTS ON ", "OIL PRESSURE",
    "LOW HEIGHT", "ENGINE 1 OFF", "ENGINE 2 OFF", "HYDRAULICS", "BANK ANGLE", "GEAR DOWN", "TO CONFIG",
    "TO CHECKLIST", "LDG CHECKLIST",
};
const char* const kEveryBrakeMemo[] = {"AUTOBRK RTO", "AUTOBRK OFF", "AUTOBRK LOW", "AUTOBRK MED", "SPEED BRK",
                                       "PRK BRK"};

TEST(DemoFlight, ShowsEveryPageWarningAndChecklistWithoutABlankFrame) {
  scenario::Scenario flight;
  std::string error;
  ASSERT_TRUE(scenario::load(std::string(A320_BINARY_DIR) + "/scenarios/demo.scenario", flight, error)) << error;
  EXPECT_GE(flight.endTime, 540) << "about ten minutes";
  EXPECT_LE(flight.endTime, 720);

  // A fresh run of the program: no page model or latch left by other tests.
  sd::resetModuleState();
  ewd::landingChecklistLatch() = false;
  RecordingSink sink;
  const int width = 320, height = 256;
  OffscreenWindow w(width, height, float(height) / 1024.0f);
  w.window->resetToDefaults(0x7f);
  for (int slot = 0; slot < kSlotCount; ++slot)
    w.window->instrumentFactory(slot, w.window->getPlacement(1u << slot).type);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  SystemDisplay* sd = nullptr;
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (Instrument* in = w.window->instrument(slot); in && in->type() == 1) sd = static_cast<SystemDisplay*>(in);
  ASSERT_NE(sd, nullptr) << "the default layout has a system display";

  // The message area's own logic, fed the same blocks in the same order,
  // says what each frame listed (the display empties its list after drawing).
  ewd::FrameState messages;
  std::map<std::string, int> seen;
  std::set<SdPage> pages;
  bool takeOffTicked = false, landingTicked = false;
  int blank = 0, frames = 0;
  FlightDataBlock block;
  // As --speed 3 sends it: every third block of the 30-a-second feed, one
  // frame each, as fast as they draw.
  for (int n = 0; n / 10.0 <= flight.endTime; ++n) {
    flight.sample(n / 10.0, block);
    w.window->setData(block.bytes.data());
    ASSERT_TRUE(w.window->renderPass());
    ++frames;
    pages.insert(sd->lastPage);
    const std::vector<ewd::MessageLine> lines = ewd::frameLines(messages, block);
    int ticked = 0;
    for (const ewd::MessageLine& l : lines) {
      ++seen[l.text];
      ticked += l.colour == ewd::kColourMemo;
    }
    if (!lines.empty() && lines[0].text == "TO CHECKLIST" && ticked == 4) takeOffTicked = true;
    if (!lines.empty() && lines[0].text == "LDG CHECKLIST" && ticked == 4) landingTicked = true;
    for (const ewd::BrakeMemo& m : ewd::brakeMemos(block)) ++seen[m.text];
    if (n % 2 == 0) {
      const std::vector<std::uint8_t> px = w.pixels();
      int lit = 0;
      for (std::size_t i = 0; i < px.size(); i += 4) lit += px[i] + px[i + 1] + px[i + 2] > 60;
      if (lit < 2000) ++blank;
    }
  }
  EXPECT_GE(frames, 10 * 540);
  EXPECT_EQ(blank, 0) << "frames with next to nothing drawn";
  for (const char* text : kEveryMessage) EXPECT_GT(seen[text], 0) << "never shown: \"" << text << "\"";
  for (const char* text : kEveryBrakeMemo) EXPECT_GT(seen[text], 0) << "never shown: \"" << text << "\"";
  EXPECT_TRUE(takeOffTicked) << "the take-off checklist is never complete";
  EXPECT_TRUE(landingTicked) << "the landing checklist is never complete";
  for (SdPage p : {SdPage::Eng, SdPage::Bleed, SdPage::Press, SdPage::Elec, SdPage::Hyd, SdPage::Fuel, SdPage::Apu,
                   SdPage::Cond, SdPage::Door, SdPage::Wheel, SdPage::Fctl, SdPage::Status, SdPage::Cruise})
    EXPECT_TRUE(pages.count(p)) << "page never shown: " << sdPageName(p);
  sd::resetModuleState();
  ewd::landingChecklistLatch() = false;
}

// The pages the flight reaches without word 40: the automatic choice.
TEST(DemoFlight, AutomaticChoiceAloneReachesItsPages) {
  scenario::Scenario flight;
  std::string error;
  ASSERT_TRUE(scenario::load(std::string(A320_BINARY_DIR) + "/scenarios/demo.scenario", flight, error)) << error;
  sd::MovementDetector detector;
  std::int32_t automatic = 0;
  std::set<SdPage> pages;
  FlightDataBlock block;
  for (int n = 0; n / 30.0 <= flight.endTime; ++n) {
    flight.sample(n / 30.0, block);
    automatic = sd::automaticPageRules(block, automatic);
    if (sd::stepMovementDetector(detector, block)) automatic = sd::kAutoFctl;
    if ((block.u32(40) >> 24 & 15) == 0) pages.insert(sd::pageFor(0, automatic));
  }
  for (SdPage p : {SdPage::Door, SdPage::Wheel, SdPage::Fctl, SdPage::Cruise})
    EXPECT_TRUE(pages.count(p)) << "not reached automatically: " << sdPageName(p);
}

}  // namespace
