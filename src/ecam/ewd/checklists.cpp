#include "ecam/ewd/warnings.h"

namespace ewd {

namespace {

constexpr std::int32_t kTakeOffConfigCode = 16;
constexpr std::int32_t kFirstCode = 16;
constexpr std::int32_t kLastCode = 33;

constexpr const char* kAutobrakeItem = "AUTOBRK..........RTO";
constexpr const char* kTakeOffFlapsItem = "FLAPS..............TO";
constexpr const char* kLightsItem = "LDG LIGHTS......ON ";
constexpr const char* kSignsItem = "SIGNS...............ON";
constexpr const char* kGearItem = "GEAR.................DOWN";
constexpr const char* kLandingFlapsItem = "FLAPS...............LDG";
constexpr const char* kSpoilersItem = "SPOILERS..........ARMED ";

struct Inputs {
  bool onGround;
  float speed;
  float height;
  float verticalSpeed;
  bool gearDown;
  bool landingLights;
  bool approach;
  float flaps;
  float autobrake;
  float speedBrake;
};

Inputs readInputs(const FlightDataBlock& b) {
  Inputs in{};
  in.onGround = b.u32(221) & 0x2;
  in.speed = b.f32(25);
  in.height = b.f32(219) * 3.2808f;
  in.verticalSpeed = b.f32(30) * 0.76893747f;
  in.gearDown = b.f32(215) >= 0.0f && b.f32(216) >= 16000.0f;
  in.landingLights = b.u32(17) & 0x2;
  in.approach = (b.u32(48) >> 7) == 1;
  in.flaps = b.f32(37);
  in.autobrake = b.f32(104);
  in.speedBrake = b.f32(211);
  return in;
}

// Checklists go straight into the first entries, unsorted, so the title
// stays on top whatever its colour.
void writeList(MessageList& list, const std::array<MessageLine, 5>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) list[i] = lines[i];
  list[lines.size()] = MessageLine{std::string("X"), kColourFree};
}

void buildTakeOff(MessageList& list, const char* title, std::int32_t titleColour, const Inputs& in) {
  writeList(list, {{{title, titleColour},
                    {kAutobrakeItem, kColourOpenItem},
                    {kTakeOffFlapsItem, kColourOpenItem},
                    {kLightsItem, kColourOpenItem},
                    {kSignsItem, kColourMemo}}});
  if (in.autobrake == 0.0f) SetMessageColour(list, kAutobrakeItem, kColourMemo);
  if (in.flaps >= 13.9f && in.flaps <= 28.1f) SetMessageColour(list, kTakeOffFlapsItem, kColourMemo);
  if (in.landingLights) SetMessageColour(list, kLightsItem, kColourMemo);
}

void buildLanding(MessageList& list, const Inputs& in) {
  writeList(list, {{{"LDG CHECKLIST", kColourTitle},
                    {kGearItem, kColourOpenItem},
                    {kLandingFlapsItem, kColourOpenItem},
                    {kSpoilersItem, kColourOpenItem},
                    {kLightsItem, kColourOpenItem}}});
  if (in.gearDown) SetMessageColour(list, kGearItem, kColourMemo);
  if (in.flaps == 35.0f) SetMessageColour(list, kLandingFlapsItem, kColourMemo);
  if (in.speedBrake == 4800.0f) SetMessageColour(list, kSpoilersItem, kColourMemo);
  if (in.landingLights) SetMessageColour(list, kLightsItem, kColourMemo);
}

}  // namespace

void updateChecklistRequest(std::int32_t& request, std::int32_t& keyLatch, std::uint32_t word39) {
  const std::uint32_t button = word39 >> 24;
  if (!(button & 0x80)) {
    keyLatch = 0;
    return;
  }
  if (keyLatch) return;
  const std::int32_t code = std::int32_t(button & 0x7F);
  if (code < kFirstCode || code > kLastCode) return;
  keyLatch = 1;
  request = request == code ? 0 : code;
}

Checklist buildChecklist(MessageList& list, std::int32_t request, bool& landingLatch, const FlightDataBlock& block) {
  const Inputs in = readInputs(block);
  if (request == kTakeOffConfigCode && in.onGround) {
    buildTakeOff(list, "TO CONFIG", kColourConfigTitle, in);
    return Checklist::TakeOffConfig;
  }
  bool takeOff = request != kTakeOffConfigCode && in.onGround && in.speed >= 60.0f && in.speed < 200.0f;
  bool landing = in.approach && in.verticalSpeed < -100.0f && in.height > 100.0f && in.height <= 2400.0f;
  // The landing checklist stays up through the roll-out until the
  // aircraft has slowed down.
  if (in.speed < 20.0f) {
    landingLatch = false;
  } else if (landingLatch && in.onGround) {
    landing = true;
    takeOff = false;
  }
  Checklist shown = Checklist::None;
  if (landing) {
    buildLanding(list, in);
    landingLatch = true;
    shown = Checklist::Landing;
  }
  if (takeOff) {
    buildTakeOff(list, "TO CHECKLIST", kColourTitle, in);
    shown = Checklist::TakeOff;
  }
  return shown;
}

void buildFrame(MessageList& list, std::int32_t& request, std::int32_t& keyLatch, bool& landingLatch,
                const FlightDataBlock& block) {
  ClearMessages(list);
  updateChecklistRequest(request, keyLatch, block.u32(39));
  if (buildChecklist(list, request, landingLatch, block) == Checklist::None) applyWarningRules(list, block);
}

std::vector<MessageLine> frameLines(FrameState& state, const FlightDataBlock& block) {
  MessageList list;
  buildFrame(list, state.request, state.keyLatch, state.landingLatch, block);
  return usedLines(list);
}

bool& landingChecklistLatch() {
  static bool latch = false;
  return latch;
}

}  // namespace ewd
