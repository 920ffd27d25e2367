#include "support/situations.h"

#include "ecam/ewd/warnings.h"
#include "ecam/sd/pages.h"
#include "support/offscreen.h"

namespace testing_support {

namespace {

void setEngines(FlightDataBlock& b, float n1, float n2, float egtRankine, float fuelFlow, float lever) {
  for (int w : {129, 179}) b.setF32(w, n1);
  for (int w : {130, 180}) b.setF32(w, n2);
  for (int w : {158, 208}) b.setF32(w, egtRankine);
  for (int w : {112, 113, 120, 170}) b.setF32(w, fuelFlow);
  for (int w : {141, 191}) b.setF32(w, lever);
  for (int w : {123, 173}) b.setF32(w, 33840.0f);
  for (int w : {124, 174}) b.setF32(w, 8000.0f);
  for (int w : {126, 176}) b.setF32(w, 12e6f);
  for (int w : {148, 198}) b.setF32(w, 88.0f);
}

void setClock(FlightDataBlock& b) {
  b.setF32(2, 12.0f);
  b.setF32(3, 34.0f);
  b.setF32(4, 56.0f);
  b.setF32(5, 1234.0f);  // even: the STATUS text shows
}

Situation page(const char* name, std::uint32_t number, SdPage expect, FlightDataBlock b, int frames = 1) {
  b.setU32(40, number << 24);
  Situation s{name, 400, 400, A320_ECAM_SYSTEM, 0.0f, {}, frames, expect};
  // The tanks were fuller at the gate: fuel used counts from there.
  FlightDataBlock gate = b;
  gate.setF32(105, 30000.0f);
  s.blocks = {gate, b};
  return s;
}

}  // namespace

FlightDataBlock climbBlock() {
  FlightDataBlock b;
  setClock(b);
  b.setF32(7, -33.0f);
  b.setF32(8, -0.072f);
  b.setF32(14, 322.0f);
  b.setF32(22, -6.0f);
  b.setF32(23, -15.0f);
  b.setF32(24, 20.0f);
  b.setF32(25, 285.0f);
  b.setF32(27, 35840.0f);
  b.setF32(28, 15565.0f);
  b.setF32(29, 24000.0f);
  b.setF32(30, 500.0f);
  b.setF32(31, 29.92f);
  b.setF32(32, 1013.2f);
  b.setF32(62, 1.0f);
  b.setF32(64, 135.0f);
  b.setF32(75, 51883.0f);
  b.setF32(101, -4.0f);
  b.setF32(102, -20.0f);
  b.setF32(103, 1.0f);
  b.setF32(104, 1.0f);
  b.setF32(105, 26000.0f);
  setEngines(b, 13435.0f, 14418.0f, 1463.67f, 2600.0f, 13926.0f);
  // A stick held off centre would bring up F/CTL after a few frames.
  b.setF32(163, 0.1f);
  b.setF32(164, 0.1f);
  b.setF32(213, 0.01f);
  b.setF32(219, 6949.0f);
  b.setU32(221, 0x2000u);
  b.setF32(227, 230.0f);
  return b;
}

FlightDataBlock approachBlock() {
  FlightDataBlock b = climbBlock();
  b.setF32(7, 8.0f);
  b.setF32(8, 0.04f);
  b.setF32(14, 178.0f);
  b.setU32(17, 0x3u);  // tint and landing lights
  b.setF32(22, -1.0f);
  b.setF32(23, 5.0f);
  b.setF32(24, 0.0f);
  b.setF32(25, 160.0f);
  b.setF32(27, 17920.0f);
  b.setF32(28, 5120.0f);
  b.setF32(29, 2300.0f);
  b.setF32(30, -910.0f);
  b.setF32(31, 29.80f);
  b.setF32(32, 1009.2f);
  b.setF32(37, 25.0f);
  b.setU32(48, 128u);
  b.setF32(64, 178.0f);
  b.setF32(75, 54613.0f);
  b.setF32(101, -1.0f);
  b.setF32(102, 5.0f);
  b.setF32(104, 3.0f);
  b.setF32(105, 14000.0f);
  setEngines(b, 9011.0f, 12780.0f, 1355.67f, 1600.0f, 9011.0f);
  b.setF32(211, 4800.0f);
  for (int w : {215, 216, 217, 218}) b.setF32(w, 16384.0f);
  b.setF32(219, 579.0f);
  b.setU32(221, 0x2000u | 0x1u);
  b.setF32(227, 82.0f);
  return b;
}

FlightDataBlock gateBlock() {
  FlightDataBlock b;
  setClock(b);
  b.setF32(7, 15.0f);
  b.setF32(8, 0.06f);
  b.setF32(14, 182.0f);
  b.setF32(29, 1200.0f);
  b.setF32(31, 30.12f);
  b.setF32(32, 1020.0f);
  b.setF32(41, 16384.0f);
  b.setF32(104, 1.0f);
  b.setF32(105, 30000.0f);
  b.setF32(161, 1.0f);
  for (int w : {215, 216, 217, 218}) b.setF32(w, 16384.0f);
  for (int w : {158, 208}) b.setF32(w, 527.67f);
  b.setU32(221, 0x2u);
  return b;
}

FlightDataBlock busyEngineBlock(float flap) {
  FlightDataBlock b;
  setClock(b);
  b.setU32(221, 2u | 4u | 8u | 0x400u | 1u);  // on ground, stall, overspeed, oil, low height
  b.setF32(25, 220.0f);
  b.setF32(105, 1500.0f);
  b.setF32(161, 1.0f);
  b.setU32(17, 2u);
  b.setF32(23, 40.0f);
  b.setF32(30, 500.0f);
  b.setF32(129, 17000.0f);
  b.setF32(179, 14800.0f);
  b.setF32(130, 1000.0f);
  b.setF32(180, 1000.0f);
  b.setF32(141, 15600.0f);
  b.setF32(191, 15600.0f);
  b.setF32(158, 1900.0f);
  b.setF32(208, 1850.0f);
  b.setF32(120, 5200.0f);
  b.setF32(170, 5100.0f);
  b.setF32(104, 2.0f);
  b.setF32(211, 1.0f);
  b.setF32(37, flap);
  return b;
}

std::vector<Situation> referenceSituations() {
  std::vector<Situation> all;
  const FlightDataBlock climb = climbBlock();
  const FlightDataBlock gate = gateBlock();
  FlightDataBlock approach = approachBlock();
  all.push_back({"layout-climb", 1280, 1024, -1, 0.0f, {climb}, 1, SdPage::Cruise});
  // A monitor on its side, either way; the tint darkens the standby row.
  all.push_back({"layout-approach-left", 640, 512, -1, -90.0f, {approach}, 1, SdPage::Wheel});
  FlightDataBlock untinted = approach;
  untinted.setU32(17, 0x2u);
  all.push_back({"layout-approach-right", 640, 512, -1, 90.0f, {untinted}, 1, SdPage::Wheel});
  // Flaps running out between 1+F and 2: the target outline shows.
  all.push_back({"ewd-busy", 550, 550, A320_ECAM_ENGINE, 0.0f, {busyEngineBlock(18.0f), busyEngineBlock(20.0f)}, 1});

  all.push_back(page("sd-eng", 1, SdPage::Eng, climb));
  all.push_back(page("sd-bleed", 2, SdPage::Bleed, climb, 30));
  all.push_back(page("sd-press", 3, SdPage::Press, approach));
  all.push_back(page("sd-elec", 4, SdPage::Elec, climb));
  all.push_back(page("sd-hyd", 5, SdPage::Hyd, climb));
  all.push_back(page("sd-fuel", 6, SdPage::Fuel, climb));
  all.push_back(page("sd-apu", 7, SdPage::Apu, gate, 300));
  all.push_back(page("sd-cond", 8, SdPage::Cond, climb, 60));
  all.push_back(page("sd-door", 9, SdPage::Door, gate));
  all.push_back(page("sd-wheel", 10, SdPage::Wheel, approach, 60));
  FlightDataBlock stick = climb;
  stick.setF32(164, -0.6f);
  stick.setF32(163, -0.4f);
  stick.setF32(211, 10983.0f);
  all.push_back(page("sd-fctl", 11, SdPage::Fctl, stick));
  all.push_back(page("sd-status", 12, SdPage::Status, climb));
  all.push_back(page("sd-cruise", 0, SdPage::Cruise, climb));
  return all;
}

const Situation* findSituation(const std::string& name) {
  static const std::vector<Situation> all = referenceSituations();
  for (const Situation& s : all)
    if (s.name == name) return &s;
  return nullptr;
}

DrawnSituation drawSituation(const Situation& s, const std::string& dataDir) {
  RecordingSink sink;
  // What earlier frames of the process left in the shared models.
  sd::resetModuleState();
  ewd::landingChecklistLatch() = false;
  DrawnSituation out;
  OffscreenWindow ow(s.width, s.height, float(s.height) / 1024.0f, dataDir);
  InstrumentWindow& w = *ow.window;
  w.setRotationAngle(s.rotation);
  int systemSlot = -1;
  if (s.type < 0) {
    w.resetToDefaults(0x7f);
    for (int slot = 0; slot < kSlotCount; ++slot) w.instrumentFactory(slot, w.getPlacement(1u << slot).type);
    systemSlot = 1;
  } else {
    w.setPlacement({0, 0, s.width, s.height, 1, s.type}, 1);
    w.instrumentFactory(0, s.type);
    if (s.type == A320_ECAM_SYSTEM) systemSlot = 0;
  }
  for (std::size_t i = 0; i < s.blocks.size(); ++i) {
    w.setData(s.blocks[i].bytes.data());
    const int times = i + 1 == s.blocks.size() ? s.frames : 1;
    for (int f = 0; f < times; ++f) w.renderPass();
  }
  if (systemSlot >= 0)
    if (auto* sd = dynamic_cast<SystemDisplay*>(w.instrument(systemSlot))) out.page = sd->lastPage;
  out.rgba = ow.pixels();
  // Cleared to alpha 0; a screen shows no alpha.
  for (std::size_t i = 3; i < out.rgba.size(); i += 4) out.rgba[i] = 255;
  out.messages = int(sink.messages.size());
  return out;
}

}  // namespace testing_support
