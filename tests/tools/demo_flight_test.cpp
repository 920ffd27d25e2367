// The shipped demo flight, played into the whole default layout as fast as
// it draws: what it claims to show, it shows.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "ecam/ewd/warnings.h"
#include "ecam/sd/system_display.h"
#include "scenario.h"
#include "standby/readings.h"
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

// The standby horizon agrees with what the flight does: banked right
// (horizon's right end higher) while the heading grows, left while it
// falls, nose up (horizon below the symbol) in every climb. And RMI needle
// 1, which takes its station's bearing from the nose, keeps that station
// where it is while the aircraft turns.
TEST(DemoFlight, StandbyInstrumentsShowWhatTheAircraftDoes) {
  scenario::Scenario flight;
  std::string error;
  ASSERT_TRUE(scenario::load(std::string(A320_BINARY_DIR) + "/scenarios/demo.scenario", flight, error)) << error;
  dialprobe::Bench bench(A320_ATTITUDE, 300);
  ASSERT_TRUE(bench.made);
  auto at = [&](double t) {
    FlightDataBlock b;
    flight.sample(t, b);
    return b;
  };
  int turns = 0, climbs = 0;
  for (double t = 1; t < flight.endTime - 1; t += 0.5) {
    const FlightDataBlock b = at(t);
    const double turnRate = (at(t + 0.5).f32(14) - at(t - 0.5).f32(14)) / 1.0;  // degrees a second
    const double feetPerMinute = b.f32(30) * 0.76893747;
    const bool turning = std::abs(turnRate) > 0.5 && std::abs(b.f32(23)) > 5;
    const bool climbing = feetPerMinute > 1000 && (b.u32(221) & 2u) == 0;
    if (turning || climbing) {
      const auto h = readings::horizon(bench.render(b));
      ASSERT_TRUE(h.has_value()) << "no horizon at " << t << " s";
      if (turning) {
        ++turns;
        EXPECT_GT(h->tiltDegrees * turnRate, 0) << "at " << t << " s the heading turns by " << turnRate
                                                << " a second, the horizon is tilted by " << h->tiltDegrees;
      }
      if (climbing) {
        ++climbs;
        EXPECT_GT(h->belowCentre, 0.02) << "climbing at " << t << " s, the horizon is not below the symbol";
      }
    }
    if (at(t - 0.5).f32(64) != 0.0f && at(t + 0.5).f32(64) != 0.0f) {  // tuned throughout
      const auto station = [&](double s) {
        const FlightDataBlock c = at(s);
        return double(c.f32(14)) + c.f32(64);
      };
      const double drift = dialprobe::angleBetween(station(t + 0.5), station(t - 0.5));
      EXPECT_LT(std::abs(drift), 1.0) << "at " << t << " s needle 1's station moves " << drift << " degrees a second";
    }
  }
  EXPECT_GT(turns, 20);
  EXPECT_GT(climbs, 20);
}

}  // namespace
