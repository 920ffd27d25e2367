#include "ecam/ewd/warnings.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ewd_pixels.h"

namespace {

using Lines = std::vector<std::pair<std::string, int>>;

Lines pairs(const std::vector<ewd::MessageLine>& lines) {
  Lines out;
  for (const auto& l : lines) out.emplace_back(l.text, l.colour);
  return out;
}

// Word values used below. Percent words carry 16384 for 100 %.
float n2Raw(float percent) { return percent * 163.84f; }
constexpr float kMetresAt2400Ft = 731.52887f;  // 2400.0 ft exactly as a float
constexpr float kMetresAbove2400Ft = 731.559387f;  // 2400.1 ft
constexpr float kMetresAt100Ft = 30.4803696f;  // 100.0 ft exactly
constexpr float kMetresAt2000Ft = 609.6f;
constexpr float kMetresAt6000Ft = 1828.82214f;  // 6000.0 ft exactly
constexpr float kWordAtMinus100Fpm = -130.049591f;  // -100.0 ft/min exactly
constexpr float kWordMinus150Fpm = -195.07f;

struct Block {
  FlightDataBlock b;
  // Airborne with nothing to report: fuel, engines and hydraulics healthy,
  // gear up, autobrake OFF.
  Block() {
    b.setF32(105, 10000.0f);
    b.setF32(130, n2Raw(60.0f));
    b.setF32(180, n2Raw(60.0f));
    b.setF32(126, 30000000.0f);
    b.setF32(176, 30000000.0f);
    b.setF32(104, 1.0f);
  }
  Block& f(int word, float v) {
    b.setF32(word, v);
    return *this;
  }
  Block& u(int word, std::uint32_t v) {
    b.setU32(word, v);
    return *this;
  }
  Block& flags(std::uint32_t v) { return u(221, b.u32(221) | v); }
  Block& ground() { return flags(0x2); }
  Block& speed(float v) { return f(25, v); }
  Block& gearDown() { return f(215, 1.0f).f(216, 16384.0f); }
  Block& fuel(float v) { return f(105, v); }
  Block& lights() { return u(17, b.u32(17) | 0x2); }
  Block& button(std::uint8_t byte) { return u(39, std::uint32_t(byte) << 24); }
  Block& approach() { return u(48, 128).f(30, kWordMinus150Fpm).f(219, kMetresAt2000Ft); }
};

FlightDataBlock filled(std::uint32_t bits) {
  FlightDataBlock b;
  for (int w = 0; w < kFlightDataWords; ++w) b.setU32(w, bits);
  return b;
}

// ---- list operations ----

ewd::MessageList cleared() {
  ewd::MessageList l;
  ewd::ClearMessages(l);
  return l;
}

TEST(MessageList, ClearFreesEveryEntryWithX) {
  ewd::MessageList l;
  for (auto& e : l) e = {"A", 3};
  ewd::ClearMessages(l);
  for (const auto& e : l) {
    EXPECT_EQ(e.text, "X");
    EXPECT_EQ(e.colour, -1);
  }
  EXPECT_EQ(ewd::usedMessages(l), 0);
}

TEST(MessageList, UsedRunEndsAtFirstFreeEntry) {
  auto l = cleared();
  l[0] = {"A", 6};
  l[2] = {"C", 6};
  EXPECT_EQ(ewd::usedMessages(l), 1);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"A", 6}}));
}

TEST(MessageList, AddSortsStablyByColourHighestFirst) {
  auto l = cleared();
  EXPECT_EQ(ewd::AddMessage(l, "m1", 2), 1);
  EXPECT_EQ(ewd::AddMessage(l, "w1", 6), 1);
  EXPECT_EQ(ewd::AddMessage(l, "c1", 4), 1);
  EXPECT_EQ(ewd::AddMessage(l, "m2", 2), 1);
  EXPECT_EQ(ewd::AddMessage(l, "w2", 6), 1);
  EXPECT_EQ(ewd::AddMessage(l, "w1", 6), 1);  // duplicates are not looked for
  EXPECT_EQ(pairs(ewd::usedLines(l)),
            (Lines{{"w1", 6}, {"w2", 6}, {"w1", 6}, {"c1", 4}, {"m1", 2}, {"m2", 2}}));
}

// A full list gives up its least important line for a more important one
// only: a memo never keeps a warning or caution out.
TEST(MessageList, AddToFullListDisplacesOnlyALesserLine) {
  auto l = cleared();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(ewd::AddMessage(l, ("m" + std::to_string(i)).c_str(), 2), 1);
  EXPECT_EQ(ewd::AddMessage(l, "m9", 2), 0);
  EXPECT_EQ(ewd::AddMessage(l, "w1", 6), 1);
  EXPECT_EQ(ewd::AddMessage(l, "c1", 4), 1);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"w1", 6}, {"c1", 4}, {"m0", 2}, {"m1", 2}, {"m2", 2}, {"m3", 2},
                                             {"m4", 2}, {"m5", 2}, {"m6", 2}}));
  for (int i = 2; i <= 8; ++i) EXPECT_EQ(ewd::AddMessage(l, ("w" + std::to_string(i)).c_str(), 6), 1);
  EXPECT_EQ(ewd::AddMessage(l, "c2", 4), 0);  // only the caution is left below it, and it is its equal
  EXPECT_EQ(ewd::AddMessage(l, "w9", 6), 1);
  EXPECT_EQ(ewd::AddMessage(l, "w10", 6), 0);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"w1", 6}, {"w2", 6}, {"w3", 6}, {"w4", 6}, {"w5", 6}, {"w6", 6},
                                             {"w7", 6}, {"w8", 6}, {"w9", 6}}));
  // Unsorted (a checklist's order): the last of the lowest colour goes.
  l = cleared();
  for (int i = 0; i < 9; ++i) l[std::size_t(i)] = {"i" + std::to_string(i), i % 2 ? 1 : 0};
  EXPECT_EQ(ewd::AddMessage(l, "new", 2), 1);
  EXPECT_EQ(l[0].text, "new");
  for (const auto& e : l) EXPECT_NE(e.text, "i8");
}

TEST(MessageList, RemoveClosesUpFirstMatchOnly) {
  auto l = cleared();
  ewd::AddMessage(l, "A", 6);
  ewd::AddMessage(l, "B", 4);
  ewd::AddMessage(l, "A", 4);
  ewd::AddMessage(l, "C", 2);
  EXPECT_EQ(ewd::RemoveMessage(l, "A"), 1);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"B", 4}, {"A", 4}, {"C", 2}}));
  EXPECT_EQ(l[3].colour, -1);
  EXPECT_EQ(ewd::RemoveMessage(l, "a"), 1);  // case-sensitive: nothing found
  EXPECT_EQ(ewd::RemoveMessage(l, "A "), 1);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"B", 4}, {"A", 4}, {"C", 2}}));
}

TEST(MessageList, RemoveFromFullListFreesTheLastEntry) {
  auto l = cleared();
  for (int i = 0; i < 9; ++i) ewd::AddMessage(l, ("m" + std::to_string(i)).c_str(), 2);
  ewd::RemoveMessage(l, "m0");
  EXPECT_EQ(ewd::usedMessages(l), 8);
  EXPECT_EQ(l[0].text, "m1");
  EXPECT_EQ(l[7].text, "m8");
  EXPECT_EQ(l[8].colour, -1);
  EXPECT_EQ(ewd::AddMessage(l, "w", 6), 1);
  EXPECT_EQ(l[0].text, "w");
}

TEST(MessageList, SetColourChangesFirstMatchAndDoesNotSort) {
  auto l = cleared();
  ewd::AddMessage(l, "A", 2);
  ewd::AddMessage(l, "B", 1);
  ewd::AddMessage(l, "B", 1);
  ewd::SetMessageColour(l, "B", 6);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"A", 2}, {"B", 6}, {"B", 1}}));
  ewd::SetMessageColour(l, "Z", 6);
  EXPECT_EQ(pairs(ewd::usedLines(l)), (Lines{{"A", 2}, {"B", 6}, {"B", 1}}));
}

// ---- warning rules ----

struct WarningCase {
  const char* name;
  FlightDataBlock block;
  Lines expected;
  bool checklistDue = false;  // the whole frame would show a checklist
};

class WarningRules : public ::testing::TestWithParam<WarningCase> {};

TEST_P(WarningRules, LinesAndColoursInOrder) {
  const WarningCase& c = GetParam();
  EXPECT_EQ(pairs(ewd::warningLines(c.block)), c.expected);
  if (c.checklistDue) return;
  // With no checklist due the whole frame shows the same lines.
  ewd::FrameState s;
  EXPECT_EQ(pairs(ewd::frameLines(s, c.block)), c.expected);
}

const Lines kNone{};

std::vector<WarningCase> warningCases() {
  const float hydHigh = 30000000.0f;
  std::vector<WarningCase> v = {
      {"Quiet", Block().b, kNone},
      {"ZeroBlock",
       FlightDataBlock{},
       {{"ALL TANKS EMPTY", 6}, {"ENGINE 1 OFF", 6}, {"ENGINE 2 OFF", 6}, {"HYDRAULICS", 6}}},
      {"GroundSpeed40GearDown",
       Block().ground().speed(40).gearDown().f(126, hydHigh).f(176, hydHigh).b,
       {{"HIGH GROUND SPEED", 4}, {"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}}},
      {"Engine1OffTakesGearMemos",
       Block().ground().speed(40).gearDown().f(130, n2Raw(10)).b,
       {{"ENGINE 1 OFF", 6}, {"HIGH GROUND SPEED", 4}}},
      {"Engine2OffTakesGearMemos", Block().gearDown().f(180, n2Raw(19.9f)).b, {{"ENGINE 2 OFF", 6}}},
      // Raw 3277 is 20.001 %, 3276 is 19.995 %.
      {"N2Above20IsRunning", Block().gearDown().f(130, 3277).b, {{"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}}},
      {"N2Below20IsOff", Block().gearDown().f(130, 3276).b, {{"ENGINE 1 OFF", 6}}},
      // 5509999 and 5499999 give 550 and 549; the integer mean is 549.
      {"HydraulicsTruncatedPerSide",
       Block().gearDown().f(126, 5509999.0f).f(176, 5499999.0f).b,
       {{"HYDRAULICS", 6}}},
      {"Hydraulics550", Block().gearDown().f(126, 5500000.0f).f(176, 5500000.0f).b,
       {{"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}}},
      {"HydraulicsOneSideHigh", Block().f(126, 11000000.0f).f(176, 0.0f).b, kNone},
      {"LowFuel1500", Block().fuel(1500).b, {{"LOW FUEL", 6}}},
      {"LowFuelJustBelow2000", Block().fuel(1999.9f).b, {{"LOW FUEL", 6}}},
      {"Fuel2000", Block().fuel(2000).b, {{"INSUFFICENT FUEL", 4}}},
      {"FuelJustBelow6000", Block().fuel(std::nextafter(6000.0f, 0.0f)).b, {{"INSUFFICENT FUEL", 4}}},
      {"Fuel6000", Block().fuel(6000).b, kNone},
      {"FuelZero", Block().fuel(0).b, {{"ALL TANKS EMPTY", 6}}},
      {"FuelMinusZero", Block().fuel(-0.0f).b, {{"ALL TANKS EMPTY", 6}}},
      {"FuelNegativeKeepsInsufficient", Block().fuel(-5).b, {{"INSUFFICENT FUEL", 4}}},
      {"BankMinus35", Block().f(23, -35).b, {{"BANK ANGLE", 6}}},
      {"BankMinus34_9", Block().f(23, -34.9f).b, kNone},
      {"Bank35", Block().f(23, 35).b, {{"BANK ANGLE", 6}}},
      {"Airborne350", Block().speed(350).b, kNone},
      {"Airborne260", Block().speed(260).b, {{"HIGH AIRSPEED", 4}}},
      {"Airborne259_9", Block().speed(259.9f).b, kNone},
      {"Ground300NoAirspeedCaution", Block().ground().speed(300).b, {{"MAX TIRES SPEED", 6}}},
      {"Ground200", Block().ground().speed(200).b, {{"MAX TIRES SPEED", 6}}},
      {"Ground199_9", Block().ground().speed(199.9f).b, {{"HIGH GROUND SPEED", 4}}, true},
      {"Ground35", Block().ground().speed(35).b, {{"HIGH GROUND SPEED", 4}}},
      {"Ground34_9", Block().ground().speed(34.9f).b, kNone},
      {"GearDownAt6000Ft", Block().gearDown().f(219, kMetresAt6000Ft).b, {{"GEAR DOWN", 6}, {"SEAT BELTS", 2}}},
      {"GearDownBelow6000Ft", Block().gearDown().f(219, std::nextafter(kMetresAt6000Ft, 0.0f)).b,
       {{"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}}},
      {"GearDownHighWithEngineOff", Block().gearDown().f(219, 2000).f(130, 0).b,
       {{"ENGINE 1 OFF", 6}, {"GEAR DOWN", 6}}},
      {"HeightWithoutGear", Block().f(219, 3000).b, kNone},
      {"GearLeverUpNoseDown", Block().f(215, -1).f(216, 16384).b, kNone},
      {"GearLeverZeroCountsAsDown", Block().f(215, 0).f(216, 16000).b, {{"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}}},
      {"NoseJustBelow16000", Block().f(215, 1).f(216, 15999.9f).b, kNone},
      {"Stall", Block().flags(0x4).b, {{"STALL", 6}}},
      {"Overspeed", Block().flags(0x8).b, {{"OVERSPEED", 6}}},
      {"OilPressure", Block().flags(0x400).b, {{"OIL PRESSURE", 6}}},
      {"LowHeightClimbing", Block().flags(0x1).f(30, 131).b, {{"LOW HEIGHT", 6}}},
      {"LowHeightAt100Fpm", Block().flags(0x1).f(30, -kWordAtMinus100Fpm).b, kNone},
      {"LowHeightBitAlone", Block().flags(0x1).b, kNone},
      {"ParkingBrake1", Block().f(161, 1).b, {{"RELEASE BRAKES", 6}}},
      {"ParkingBrake0_99", Block().f(161, 0.99f).b, kNone},
      {"ParkingBrakeNegative", Block().f(161, -3).b, kNone},
      {"LandingLights", Block().lights().b, {{"LDG LIGHTS ON ", 2}}},
      {"TintBitIsNotLights", Block().u(17, 1).b, kNone},
      {"UnlistedFlagBits", Block().u(221, ~std::uint32_t(0x2 | 0x1 | 0x4 | 0x8 | 0x400)).b, kNone},
      // Twelve true conditions (rules 1, 4, 5, 8 to 14, 17, 18): nine
      // warnings; the caution and the memos give way to them.
      {"TwelveConditionsNineLines",
       Block()
           .ground()
           .speed(250)
           .gearDown()
           .fuel(5000)
           .flags(0x4 | 0x8 | 0x400 | 0x1)
           .f(30, 200)
           .f(161, 1)
           .lights()
           .f(130, n2Raw(10))
           .f(23, 40)
           .f(219, 2133.6f)
           .b,
       {{"MAX TIRES SPEED", 6},
        {"STALL", 6},
        {"OVERSPEED", 6},
        {"RELEASE BRAKES", 6},
        {"OIL PRESSURE", 6},
        {"LOW HEIGHT", 6},
        {"ENGINE 1 OFF", 6},
        {"BANK ANGLE", 6},
        {"GEAR DOWN", 6}}},
      // Twelve true conditions (rules 3 to 6, 8, 9, 11, 12, 13, 16, 17, 18)
      // with eight warnings: all of them come before the caution, and the
      // memo that filled the list before GEAR DOWN arrived is the line left
      // out.
      {"TwelveConditionsWarningsFirst",
       Block()
           .speed(300)
           .gearDown()
           .fuel(1500)
           .flags(0x4 | 0x8 | 0x400 | 0x1)
           .f(30, 200)
           .lights()
           .f(126, 0)
           .f(176, 0)
           .f(23, 40)
           .f(219, 2133.6f)
           .b,
       {{"LOW FUEL", 6},
        {"STALL", 6},
        {"OVERSPEED", 6},
        {"OIL PRESSURE", 6},
        {"LOW HEIGHT", 6},
        {"HYDRAULICS", 6},
        {"BANK ANGLE", 6},
        {"GEAR DOWN", 6},
        {"HIGH AIRSPEED", 4}}},
      // Low fuel replaces the caution while the list is being filled.
      {"LowFuelWithMemos",
       Block().gearDown().fuel(1000).lights().flags(0x4).b,
       {{"LOW FUEL", 6}, {"STALL", 6}, {"GEAR DOWN LOCKED", 2}, {"SEAT BELTS", 2}, {"LDG LIGHTS ON ", 2}}},
      {"NaNBlock", filled(0x7FC00000u), {{"HYDRAULICS", 6}}},
      {"InfBlock",
       filled(0x7F800000u),
       {{"RELEASE BRAKES", 6}, {"BANK ANGLE", 6}, {"GEAR DOWN", 6}, {"SEAT BELTS", 2}}},
      {"MinusInfBlock",
       filled(0xFF800000u),
       {{"ENGINE 1 OFF", 6}, {"ENGINE 2 OFF", 6}, {"HYDRAULICS", 6}, {"BANK ANGLE", 6}, {"INSUFFICENT FUEL", 4}}},
      // Largest finite value: every flag bit read is set; BANK ANGLE takes
      // the landing-lights memo's line and GEAR DOWN the gear memo's.
      {"HugeBlock",
       filled(0x7F7FFFFFu),
       {{"MAX TIRES SPEED", 6},
        {"STALL", 6},
        {"OVERSPEED", 6},
        {"RELEASE BRAKES", 6},
        {"OIL PRESSURE", 6},
        {"LOW HEIGHT", 6},
        {"BANK ANGLE", 6},
        {"GEAR DOWN", 6},
        {"SEAT BELTS", 2}}},
  };
  return v;
}

INSTANTIATE_TEST_SUITE_P(Warnings, WarningRules, ::testing::ValuesIn(warningCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- brake memos ----

using Memos = std::vector<std::pair<std::string, float>>;
Memos memos(const FlightDataBlock& b) {
  Memos out;
  for (const auto& m : ewd::brakeMemos(b)) out.emplace_back(m.text, m.y);
  return out;
}

TEST(BrakeMemos, SelectorSpeedBrakeAndParkingBrake) {
  const Memos rto{{"AUTOBRK RTO", -0.474f}}, spd{{"SPEED BRK", -0.565f}}, prk{{"PRK BRK", -0.656f}};
  const struct {
    FlightDataBlock block;
    Memos expected;
  } cases[] = {
      {Block().f(104, 0).b, rto},
      {Block().f(104, 1).b, {{"AUTOBRK OFF", -0.474f}}},
      {Block().f(104, 2).b, {{"AUTOBRK LOW", -0.474f}}},
      {Block().f(104, 3).b, {{"AUTOBRK MED", -0.474f}}},
      {Block().f(104, 0.5f).b, {}},
      {Block().f(104, 4).b, {}},
      {Block().f(104, 2.0001f).b, {}},
      {Block().f(104, -1).b, {}},
      {Block().f(104, 9).f(211, 0.001f).b, spd},
      {Block().f(104, 9).f(211, 0).b, {}},
      {Block().f(104, 9).f(211, -10).b, {}},
      {Block().f(104, 9).f(161, 1).b, prk},
      {Block().f(104, 9).f(161, 2.5f).b, prk},
      {Block().f(104, 9).f(161, 0.999f).b, {}},
      {Block().f(104, 2).f(211, 4800).f(161, 1).b, {{"AUTOBRK LOW", -0.474f}, spd[0], prk[0]}},
      {filled(0x7FC00000u), {}},
      {filled(0x7F800000u), {spd[0], prk[0]}},
      {filled(0xFF800000u), {}},
      {FlightDataBlock{}, rto},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(memos(cases[i].block), cases[i].expected) << "case " << i;
}

// One frame after another through one request and latch: a held press acts
// once, a release re-arms, another code replaces the request, and codes
// outside 16 to 33 or bits below the top byte change nothing.
TEST(Pushbutton, Sequences) {
  struct Step {
    std::uint32_t word;
    std::int32_t request, latch;  // after the frame; latch -1: not checked
  };
  const struct {
    const char* name;
    std::int32_t request;
    std::vector<Step> steps;
  } sequences[] = {
      {"held press acts once, release re-arms", 0,
       {{0x90000000u, 16, 1}, {0x90000000u, 16, 1}, {0x10000000u, 16, 0}, {0x90000000u, 0, 1},
        {0x90000000u, 0, 1}, {0x00000000u, 0, 0}, {0x90000000u, 16, 1}}},
      {"another code replaces the request", 0,
       {{0x90000000u, 16, 1}, {0x00000000u, 16, 0}, {0x91000000u, 17, 1}, {0x00000000u, 17, 0},
        {0xA1000000u, 33, 1}, {0x00000000u, 33, 0}, {0xA1000000u, 0, 1}}},
      {"lower bytes neither hide a press nor make one", 0,
       {{0x90FFFFFFu, 16, 1}, {0x7FFFFFFFu, 16, 0}, {0x00000090u, 16, 0}}},
  };
  for (const auto& q : sequences) {
    std::int32_t request = q.request, latch = 0;
    for (std::size_t i = 0; i < q.steps.size(); ++i) {
      ewd::updateChecklistRequest(request, latch, q.steps[i].word);
      EXPECT_EQ(request, q.steps[i].request) << q.name << ", frame " << i;
      EXPECT_EQ(latch, q.steps[i].latch) << q.name << ", frame " << i;
    }
  }
  for (std::uint32_t word : {0x8F000000u, 0xA2000000u, 0x80000000u, 0xFF000000u, 0x00000090u, 0x7FFFFFFFu}) {
    for (std::int32_t before : {0, 16}) {
      std::int32_t request = before, latch = 0;
      ewd::updateChecklistRequest(request, latch, word);
      EXPECT_EQ(request, before) << std::hex << word;
      EXPECT_EQ(latch, 0) << std::hex << word;
    }
  }
}

// ---- checklists ----

Lines toConfig(int autobrk, int flaps, int lights) {
  return {{"TO CONFIG", 5},
          {"AUTOBRK..........RTO", autobrk},
          {"FLAPS..............TO", flaps},
          {"LDG LIGHTS......ON ", lights},
          {"SIGNS...............ON", 2}};
}
Lines toChecklist(int autobrk, int flaps, int lights) {
  Lines l = toConfig(autobrk, flaps, lights);
  l[0] = {"TO CHECKLIST", 0};
  return l;
}
Lines ldgChecklist(int gear, int flaps, int spoilers, int lights) {
  return {{"LDG CHECKLIST", 0},
          {"GEAR.................DOWN", gear},
          {"FLAPS...............LDG", flaps},
          {"SPOILERS..........ARMED ", spoilers},
          {"LDG LIGHTS......ON ", lights}};
}

Lines frame(ewd::FrameState& s, const FlightDataBlock& b) { return pairs(ewd::frameLines(s, b)); }

// Frames one after another through one state; -1 leaves a field unchecked.
struct Step {
  FlightDataBlock block;
  Lines lines;
  int request = -1, keyLatch = -1, landingLatch = -1;
};
struct Sequence {
  const char* name;
  std::int32_t request;
  bool landingLatch;
  std::vector<Step> steps;
};

TEST(Checklists, FrameSequences) {
  const FlightDataBlock pressed = Block().ground().speed(0).button(0x90).b;
  const FlightDataBlock released = Block().ground().speed(0).b;
  const FlightDataBlock approachOnGround = Block().approach().ground().speed(100).b;
  const Sequence sequences[] = {
      {"config test toggles with the pushbutton", 0, false,
       {{pressed, toConfig(1, 1, 1)},
        {pressed, toConfig(1, 1, 1)},
        {released, toConfig(1, 1, 1), -1, 0},
        {pressed, kNone, 0}}},
      {"another code ends the config test", 16, false, {{Block().ground().button(0x91).b, kNone, 17}}},
      {"config test ticks", 16, false,
       {{Block().ground().f(104, 0).f(37, 13.9f).lights().b, toConfig(2, 2, 2)},
        {Block().ground().f(104, 0).f(37, 28.1f).b, toConfig(2, 2, 1)},
        {Block().ground().f(37, 28.2f).lights().b, toConfig(1, 1, 2)},
        {Block().ground().f(37, std::nextafter(28.1f, 100.0f)).b, toConfig(1, 1, 1)},
        {Block().ground().f(37, std::nextafter(13.9f, 0.0f)).b, toConfig(1, 1, 1)},
        {Block().ground().f(104, 0.5f).f(37, 20).b, toConfig(1, 2, 1)}}},
      // Speed below 20 would have cleared the landing latch.
      {"config test hides warnings and leaves the landing latch", 16, true,
       {{Block().ground().speed(5).fuel(0).f(161, 1).b, toConfig(1, 1, 1), -1, -1, 1},
        {Block().ground().speed(100).b, toConfig(1, 1, 1)}}},
      {"config request in the air runs the normal decision", 16, false,
       {{Block().speed(150).f(23, 40).b, {{"BANK ANGLE", 6}}},
        {Block().approach().b, ldgChecklist(1, 1, 1, 1), 16}}},
      {"take-off speed window", 0, false,
       {{Block().ground().speed(59.9f).b, {{"HIGH GROUND SPEED", 4}}},
        {Block().ground().speed(60).b, toChecklist(1, 1, 1)},
        {Block().ground().speed(std::nextafter(200.0f, 0.0f)).f(104, 0).f(37, 15).lights().b, toChecklist(2, 2, 2)},
        {Block().ground().speed(200).b, {{"MAX TIRES SPEED", 6}}},
        {Block().speed(100).b, kNone}}},  // airborne: no take-off checklist
      {"landing ticks", 0, false,
       {{Block().approach().gearDown().f(37, 35).f(211, 4800).lights().b, ldgChecklist(2, 2, 2, 2)},
        {Block().approach().f(215, -1).f(216, 16384).f(37, 34.99f).f(211, 4800.5f).b, ldgChecklist(1, 1, 1, 1)},
        {Block().approach().f(215, 0).f(216, 16000).f(37, 35.01f).f(211, 4799.5f).b, ldgChecklist(2, 1, 1, 1)}}},
      // At touchdown the approach conditions are gone; the latch holds.
      {"landing latch holds through the roll-out", 0, false,
       {{Block().approach().speed(140).b, ldgChecklist(1, 1, 1, 1)},
        {Block().ground().speed(80).gearDown().b, ldgChecklist(2, 1, 1, 1)},
        {Block().ground().speed(20).b, ldgChecklist(1, 1, 1, 1), -1, -1, 1},
        {Block().ground().speed(19).b, kNone, -1, -1, 0},
        {Block().ground().speed(80).b, toChecklist(1, 1, 1)}}},
      {"landing latch has no effect in the air", 0, true,
       {{Block().speed(250).b, kNone, -1, -1, 1}, {Block().ground().speed(120).b, ldgChecklist(1, 1, 1, 1)}}},
      {"take-off replaces landing built in the same frame", 0, false,
       {{approachOnGround, toChecklist(1, 1, 1), -1, -1, 1}, {approachOnGround, ldgChecklist(1, 1, 1, 1)}}},
  };
  for (const Sequence& q : sequences) {
    ewd::FrameState s;
    s.request = q.request;
    s.landingLatch = q.landingLatch;
    for (std::size_t i = 0; i < q.steps.size(); ++i) {
      SCOPED_TRACE(std::string(q.name) + ", frame " + std::to_string(i));
      const Step& st = q.steps[i];
      EXPECT_EQ(frame(s, st.block), st.lines);
      if (st.request >= 0) {
        EXPECT_EQ(s.request, st.request);
      }
      if (st.keyLatch >= 0) {
        EXPECT_EQ(s.keyLatch, st.keyLatch);
      }
      if (st.landingLatch >= 0) {
        EXPECT_EQ(s.landingLatch, st.landingLatch == 1);
      }
    }
  }
}

TEST(Checklists, LandingWindow) {
  {
    ewd::FrameState s;
    EXPECT_EQ(frame(s, Block().approach().b), ldgChecklist(1, 1, 1, 1));
    EXPECT_TRUE(s.landingLatch);
  }
  struct {
    float metres;
    bool shown;
  } heights[] = {{kMetresAt2400Ft, true},
                 {kMetresAbove2400Ft, false},
                 {kMetresAt100Ft, false},
                 {std::nextafter(kMetresAt100Ft, 1000.0f), true}};
  for (const auto& h : heights) {
    ewd::FrameState s;
    const auto lines = frame(s, Block().approach().f(219, h.metres).b);
    EXPECT_EQ(lines == ldgChecklist(1, 1, 1, 1), h.shown) << h.metres;
    EXPECT_EQ(s.landingLatch, h.shown) << h.metres;
  }
  ewd::FrameState s;
  EXPECT_EQ(frame(s, Block().approach().f(30, kWordAtMinus100Fpm).b), kNone);
  EXPECT_EQ(frame(s, Block().approach().u(48, 127).b), kNone);
  EXPECT_EQ(frame(s, Block().approach().u(48, 256).b), kNone);
  EXPECT_EQ(frame(s, Block().approach().u(48, 255).b), ldgChecklist(1, 1, 1, 1));
}

TEST(Checklists, ChecklistLeavesSixthEntryFree) {
  ewd::MessageList l;
  ewd::ClearMessages(l);
  bool latch = false;
  EXPECT_EQ(ewd::buildChecklist(l, 0, latch, Block().ground().speed(100).b), ewd::Checklist::TakeOff);
  EXPECT_EQ(ewd::usedMessages(l), 5);
  EXPECT_EQ(l[5].colour, -1);
  EXPECT_EQ(ewd::buildChecklist(l, 0, latch, Block().speed(100).b), ewd::Checklist::None);
}

TEST(Checklists, NonFiniteBlocks) {
  // Pressed code 127: no request.
  ewd::FrameState s;
  frame(s, filled(0xFF800000u));
  EXPECT_EQ(s.request, 0);
  // A NaN speed does not clear the latch; on the ground it keeps the
  // landing checklist.
  s.landingLatch = true;
  Block nanSpeed;
  nanSpeed.ground().speed(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(frame(s, nanSpeed.b), ldgChecklist(1, 1, 1, 1));
}

TEST(Checklists, RandomBlocksStayWithinTheList) {
  const std::set<std::string> known = {
      "MAX TIRES SPEED", "HIGH GROUND SPEED", "HIGH AIRSPEED", "GEAR DOWN LOCKED", "SEAT BELTS",
      "INSUFFICENT FUEL", "LOW FUEL", "ALL TANKS EMPTY", "STALL", "OVERSPEED", "RELEASE BRAKES",
      "LDG LIGHTS ON ", "OIL PRESSURE", "LOW HEIGHT", "ENGINE 1 OFF", "ENGINE 2 OFF", "HYDRAULICS",
      "BANK ANGLE", "GEAR DOWN", "TO CONFIG", "TO CHECKLIST", "LDG CHECKLIST", "AUTOBRK..........RTO",
      "FLAPS..............TO", "LDG LIGHTS......ON ", "SIGNS...............ON", "GEAR.................DOWN",
      "FLAPS...............LDG", "SPOILERS..........ARMED "};
  std::mt19937 rng(4555);
  ewd::FrameState s;
  int checklists = 0;
  for (int n = 0; n < 5000; ++n) {
    FlightDataBlock b;
    for (int w = 0; w < kFlightDataWords; ++w) b.setU32(w, rng());
    if (n % 2) {  // plausible values in the words the rules read
      for (int w : {23, 25, 30, 37, 104, 105, 126, 130, 161, 176, 180, 211, 215, 216, 219})
        b.setF32(w, float(int(rng() % 40000) - 10000) * 0.5f);
      b.setU32(48, rng() % 2 ? 128 : 0);
    }
    const auto lines = ewd::frameLines(s, b);
    ASSERT_LE(lines.size(), 9u);
    for (const auto& l : lines) ASSERT_TRUE(known.count(l.text)) << l.text;
    const bool checklist = !lines.empty() && (lines[0].text == "TO CONFIG" || lines[0].text == "TO CHECKLIST" ||
                                              lines[0].text == "LDG CHECKLIST");
    if (checklist) {
      ++checklists;
      ASSERT_EQ(lines.size(), 5u);
    } else {
      for (std::size_t i = 1; i < lines.size(); ++i) ASSERT_GE(lines[i - 1].colour, lines[i].colour);
    }
    ASSERT_LE(ewd::brakeMemos(b).size(), 3u);
  }
  EXPECT_GT(checklists, 0);
}

}  // namespace

// ---- drawn through the instrument ----

namespace {

using namespace ewd_test;

// The window's black outline covers the bottom two rows.
constexpr Box kMessageArea{-0.78f, -0.99f, 0.30f, -0.32f};
constexpr Box kBrakeArea{0.35f, -0.70f, 0.99f, -0.45f};

bool lit(Rgb c) { return c.r + c.g + c.b > 60; }

class DrawnFrame : public DisplayFixture {
 protected:
  void SetUp() override {
    ewd::landingChecklistLatch() = false;
    DisplayFixture::SetUp();
  }
  void TearDown() override { ewd::landingChecklistLatch() = false; }

  // The shown areas must match the given lines and memos alone on black,
  // placed as the display places them; lit pixels keep an empty match out.
  void expectShows(const FlightDataBlock& b, const Lines& lines, const Memos& brake) {
    const Pixels shown = render(b);
    const Pixels ref = alone([&](const FontSet& font) {
      for (std::size_t n = 0; n < lines.size(); ++n)
        DrawText(font, lines[n].first.c_str(), lines[n].second, 0.8f, -0.75f, -0.383f - float(n) * 0.091f, -0.55f);
      for (const auto& m : brake) DrawText(font, m.first.c_str(), 2, 0.8f, 0.364f, m.second, -0.55f);
    });
    EXPECT_EQ(differing(shown, ref, kMessageArea, 0), 0);
    if (!lines.empty()) {
      EXPECT_GT(count(shown, kMessageArea, lit), 100);
    }
    EXPECT_EQ(differing(shown, ref, kBrakeArea, 0), 0);
    if (!brake.empty()) {
      EXPECT_GT(count(shown, kBrakeArea, lit), 50);
    }
  }
};

TEST_F(DrawnFrame, PushbuttonBringsUpConfigTestAndBrakeMemosStay) {
  Block b;
  b.ground().f(104, 0).f(211, 1).button(0x90);
  expectShows(b.b, toConfig(2, 1, 1), {{"AUTOBRK RTO", -0.474f}, {"SPEED BRK", -0.565f}});
  EXPECT_EQ(d->checklistRequest, 16);
  EXPECT_EQ(d->keyLatch, 1);
  b.button(0x10);
  render(b.b);
  EXPECT_EQ(d->keyLatch, 0);
  b.button(0x90);
  expectShows(b.b, {}, {{"AUTOBRK RTO", -0.474f}, {"SPEED BRK", -0.565f}});
  EXPECT_EQ(d->checklistRequest, 0);
}

TEST_F(DrawnFrame, LandingLatchIsSharedAndKeptAcrossFrames) {
  expectShows(Block().approach().speed(140).b, ldgChecklist(1, 1, 1, 1), {{"AUTOBRK OFF", -0.474f}});
  EXPECT_TRUE(ewd::landingChecklistLatch());
  expectShows(Block().ground().speed(90).b, ldgChecklist(1, 1, 1, 1), {{"AUTOBRK OFF", -0.474f}});
  expectShows(Block().ground().speed(10).b, {}, {{"AUTOBRK OFF", -0.474f}});
  EXPECT_FALSE(ewd::landingChecklistLatch());
}

TEST_F(DrawnFrame, NonFiniteBlocksDrawWithoutError) {
  for (std::uint32_t bits : {0x7FC00000u, 0xFFC00000u, 0x7F800000u, 0xFF800000u, 0xFFFFFFFFu, 0x80000000u}) {
    render(filled(bits));
    for (const auto& e : d->messages) EXPECT_EQ(e.colour, -1);
  }
  expectShows(filled(0x7FC00000u), {{"HYDRAULICS", 6}}, {});
}

}  // namespace
