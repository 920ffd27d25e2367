#include "ecam/ewd/warnings.h"

#include <cmath>
#include <cstring>

#include "ecam/draw/primitives.h"
#include "instruments/saturate.h"

namespace ewd {

namespace {

constexpr const char* kFreeText = "X";

constexpr float kLineSize = 0.8f;
constexpr float kLineZ = -0.55f;
constexpr float kMessageX = -0.75f;
constexpr float kMessageTopY = -0.383f;
constexpr float kMessagePitch = 0.091f;
constexpr float kBrakeMemoX = 0.364f;

constexpr std::uint32_t kOnGroundBit = 0x2;
constexpr std::uint32_t kLowHeightBit = 0x1;
constexpr std::uint32_t kStallBit = 0x4;
constexpr std::uint32_t kOverspeedBit = 0x8;
constexpr std::uint32_t kOilPressureBit = 0x400;
constexpr std::uint32_t kLandingLightsBit = 0x2;

bool sameText(const MessageLine& line, const char* text) { return line.text == text; }

void setFree(MessageLine& line) {
  line.text = kFreeText;
  line.colour = kColourFree;
}

}  // namespace

int usedMessages(const MessageList& list) {
  int n = 0;
  while (n < int(list.size()) && list[std::size_t(n)].colour != kColourFree) ++n;
  return n;
}

int AddMessage(MessageList& list, const char* text, std::int32_t colour) {
  int n = usedMessages(list);
  if (n >= int(list.size())) {
    // Full: the least important line (the last of the lowest colour) gives
    // way to a more important one, never to an equal or lesser one, so a
    // warning or caution is never lost to a memo.
    int least = 0;
    for (int i = 1; i < n; ++i)
      if (list[std::size_t(i)].colour <= list[std::size_t(least)].colour) least = i;
    if (colour <= list[std::size_t(least)].colour) return 0;
    for (int i = least; i + 1 < n; ++i) list[std::size_t(i)] = list[std::size_t(i + 1)];
    n -= 1;
  }
  list[std::size_t(n)].text = text;
  list[std::size_t(n)].colour = colour;
  SortMessages(list);
  return 1;
}

int RemoveMessage(MessageList& list, const char* text) {
  const int n = usedMessages(list);
  for (int i = 0; i < n; ++i) {
    if (!sameText(list[std::size_t(i)], text)) continue;
    for (int j = i; j < n; ++j) {
      if (j + 1 < int(list.size()))
        list[std::size_t(j)] = list[std::size_t(j + 1)];
      else
        setFree(list[std::size_t(j)]);
    }
    break;
  }
  SortMessages(list);
  return 1;
}

void SetMessageColour(MessageList& list, const char* text, std::int32_t colour) {
  const int n = usedMessages(list);
  for (int i = 0; i < n; ++i) {
    if (sameText(list[std::size_t(i)], text)) {
      list[std::size_t(i)].colour = colour;
      return;
    }
  }
}

// Bubble sort: stable, so lines of one colour stay in rule order.
void SortMessages(MessageList& list) {
  const int n = usedMessages(list);
  for (int pass = 0; pass + 1 < n; ++pass) {
    for (int i = 0; i + 1 < n - pass; ++i) {
      if (list[std::size_t(i)].colour < list[std::size_t(i + 1)].colour)
        std::swap(list[std::size_t(i)], list[std::size_t(i + 1)]);
    }
  }
}

void ClearMessages(MessageList& list) {
  for (MessageLine& line : list) setFree(line);
}

std::vector<MessageLine> usedLines(const MessageList& list) {
  const int n = usedMessages(list);
  return std::vector<MessageLine>(list.begin(), list.begin() + n);
}

void applyWarningRules(MessageList& list, const FlightDataBlock& b) {
  const std::uint32_t flags = b.u32(221);
  const bool onGround = flags & kOnGroundBit;
  const float speed = b.f32(25);
  const float fuel = b.f32(105);
  const float n2First = b.f32(130) * 0.006103515625f;
  const float n2Second = b.f32(180) * 0.006103515625f;
  // Integer arithmetic as the word is defined: each side truncated to
  // ten-thousands before the mean.
  const std::int32_t hydraulic = (truncToInt32(b.f32(126)) / 10000 + truncToInt32(b.f32(176)) / 10000) / 2;
  const float bank = b.f32(23);
  const float height = b.f32(219) * 3.2808f;
  const float verticalSpeed = b.f32(30) * 0.76893747f;
  const bool gearDown = b.f32(215) >= 0.0f && b.f32(216) >= 16000.0f;
  const bool landingLights = b.u32(17) & kLandingLightsBit;
  const std::int32_t parkingBrake = truncToInt32(b.f32(161));

  auto rule = [&list](bool holds, const char* text, std::int32_t colour) {
    if (holds)
      AddMessage(list, text, colour);
    else
      RemoveMessage(list, text);
  };

  rule(onGround && speed >= 200.0f, "MAX TIRES SPEED", kColourWarning);
  rule(onGround && speed >= 35.0f && speed < 200.0f, "HIGH GROUND SPEED", kColourCaution);
  rule(!onGround && speed >= 260.0f && speed < 350.0f, "HIGH AIRSPEED", kColourCaution);
  if (gearDown) {
    AddMessage(list, "GEAR DOWN LOCKED", kColourMemo);
    AddMessage(list, "SEAT BELTS", kColourMemo);
  } else {
    RemoveMessage(list, "GEAR DOWN LOCKED");
    RemoveMessage(list, "SEAT BELTS");
  }
  rule(fuel < 6000.0f, "INSUFFICENT FUEL", kColourCaution);
  if (fuel > 0.0f && fuel < 2000.0f) {
    RemoveMessage(list, "INSUFFICENT FUEL");
    AddMessage(list, "LOW FUEL", kColourWarning);
  } else if (fuel >= 2000.0f) {
    RemoveMessage(list, "LOW FUEL");
  }
  if (fuel == 0.0f) {
    RemoveMessage(list, "INSUFFICENT FUEL");
    AddMessage(list, "ALL TANKS EMPTY", kColourWarning);
  } else {
    RemoveMessage(list, "ALL TANKS EMPTY");
  }
  rule(flags & kStallBit, "STALL", kColourWarning);
  rule(flags & kOverspeedBit, "OVERSPEED", kColourWarning);
  rule(parkingBrake > 0, "RELEASE BRAKES", kColourWarning);
  rule(landingLights, "LDG LIGHTS ON ", kColourMemo);
  rule(flags & kOilPressureBit, "OIL PRESSURE", kColourWarning);
  rule((flags & kLowHeightBit) && verticalSpeed > 100.0f, "LOW HEIGHT", kColourWarning);

  // Engine and hydraulic warnings take the place of the gear memos.
  auto withoutGearMemos = [&list](bool holds, const char* text) {
    if (holds) {
      RemoveMessage(list, "GEAR DOWN LOCKED");
      RemoveMessage(list, "SEAT BELTS");
      AddMessage(list, text, kColourWarning);
    } else {
      RemoveMessage(list, text);
    }
  };
  withoutGearMemos(n2First < 20.0f, "ENGINE 1 OFF");
  withoutGearMemos(n2Second < 20.0f, "ENGINE 2 OFF");
  withoutGearMemos(hydraulic < 550, "HYDRAULICS");

  rule(std::fabs(bank) >= 35.0f, "BANK ANGLE", kColourWarning);
  if (height >= 6000.0f && gearDown) {
    RemoveMessage(list, "GEAR DOWN LOCKED");
    AddMessage(list, "GEAR DOWN", kColourWarning);
  } else {
    RemoveMessage(list, "GEAR DOWN");
  }
}

std::vector<MessageLine> warningLines(const FlightDataBlock& block) {
  MessageList list;
  ClearMessages(list);
  applyWarningRules(list, block);
  return usedLines(list);
}

std::vector<BrakeMemo> brakeMemos(const FlightDataBlock& b) {
  std::vector<BrakeMemo> memos;
  const float autobrake = b.f32(104);
  if (autobrake == 0.0f)
    memos.push_back({"AUTOBRK RTO", -0.474f});
  else if (autobrake == 1.0f)
    memos.push_back({"AUTOBRK OFF", -0.474f});
  else if (autobrake == 2.0f)
    memos.push_back({"AUTOBRK LOW", -0.474f});
  else if (autobrake == 3.0f)
    memos.push_back({"AUTOBRK MED", -0.474f});
  if (b.f32(211) > 0.0f) memos.push_back({"SPEED BRK", -0.565f});
  if (truncToInt32(b.f32(161)) >= 1) memos.push_back({"PRK BRK", -0.656f});
  return memos;
}

void drawBrakeMemos(EngineWarningDisplay& d, const FlightDataBlock& block) {
  const FontSet font = d.font();
  for (const BrakeMemo& m : brakeMemos(block)) DrawText(font, m.text, kColourMemo, kLineSize, kBrakeMemoX, m.y, kLineZ);
}

void drawWarningFrame(EngineWarningDisplay& d, const FlightDataBlock& block) {
  buildFrame(d.messages, d.checklistRequest, d.keyLatch, landingChecklistLatch(), block);
  const FontSet font = d.font();
  const int n = usedMessages(d.messages);
  for (int i = 0; i < n; ++i) {
    const MessageLine& line = d.messages[std::size_t(i)];
    DrawText(font, line.text.c_str(), line.colour, kLineSize, kMessageX, kMessageTopY - float(i) * kMessagePitch,
             kLineZ);
  }
  ClearMessages(d.messages);
}

}  // namespace ewd
