#include "ecam/sd/pages.h"

#include <cmath>

#include "instruments/saturate.h"

namespace sd {

FrameState& frameState() {
  static FrameState state;
  return state;
}

CabinState& cabinState() {
  static CabinState state;
  return state;
}

void resetModuleState() {
  frameState() = FrameState{};
  cabinState() = CabinState{};
  resetEngPage();
  resetBleedPage();
  resetPressPage();
  resetElecPage();
  resetHydPage();
  resetFuelPage();
  resetApuPage();
  resetCondPage();
  resetDoorPage();
  resetWheelPage();
  resetFctlPage();
  resetStatusPage();
  resetCruisePage();
}

void takeInitialFuel(FrameState& state, const FlightDataBlock& block) {
  const float fuelLb = block.f32(105);
  if (!std::isfinite(fuelLb) || fuelLb == 0.0f) return;
  const std::int32_t fuelKg = truncToInt32(fuelLb * kKgPerLb);
  if (state.initialFuelKnown && fuelKg <= state.initialFuelKg) return;
  state.initialFuelKg = fuelKg;
  state.initialFuelKnown = true;
}

std::int32_t automaticPageRules(const FlightDataBlock& block, std::int32_t page) {
  const bool onGround = (block.u32(221) & 2u) != 0;
  const float n2Engine1 = block.f32(130) * kPercentPerRaw;
  const float n2Engine2 = block.f32(180) * kPercentPerRaw;
  const float verticalSpeed = block.f32(30) * 0.76893747f;
  const float speed = block.f32(25), altitude = block.f32(29), flaps = block.f32(37);
  const float gearLever = block.f32(215), noseGear = block.f32(216);

  if (onGround) {
    if (n2Engine1 < 5.0f && n2Engine2 < 5.0f) page = kAutoDoor;
    if (n2Engine2 >= 5.0f) page = kAutoWheel;
  }
  if (speed >= 60.0f) {
    if (flaps > 0.0f && verticalSpeed > 100.0f && altitude > 10000.0f) page = kAutoEng;
    if (flaps == 0.0f && verticalSpeed > 50.0f) page = kAutoCruise;
  }
  if (gearLever > 0.0f) {
    if (noseGear > 10000.0f && altitude < 10000.0f && verticalSpeed < 100.0f && !onGround) page = kAutoWheel;
    if (noseGear < 16000.0f) page = kAutoWheel;
  } else if (gearLever <= 0.0f) {
    if (noseGear >= 10.0f) page = kAutoWheel;
  }
  return page;
}

bool stepMovementDetector(MovementDetector& m, const FlightDataBlock& block) {
  if (m.frameCounter == 9) {
    const float stick = block.f32(164), speedBrake = block.f32(211);
    const bool still = std::fabs(stick - m.stickReference) < 0.15f && std::fabs(speedBrake - m.speedBrakeReference) < 2600.0f;
    m.stickReference = stick;
    m.speedBrakeReference = speedBrake;
    if (!still) m.moving = true;
    m.frameCounter = 0;
  }
  if (m.moving) {
    ++m.holdCounter;
    if (m.holdCounter >= 180) {
      m.moving = false;
      m.holdCounter = 0;
    }
  }
  ++m.frameCounter;
  return m.moving;
}

SdPage pageFor(std::uint32_t pageNumber, std::int32_t automaticPage) {
  switch (pageNumber) {
    case 0:
      switch (automaticPage) {
        case kAutoDoor: return SdPage::Door;
        case kAutoWheel: return SdPage::Wheel;
        case kAutoEng: return SdPage::Eng;
        case kAutoCruise: return SdPage::Cruise;
        case kAutoFctl: return SdPage::Fctl;
        default: return SdPage::None;
      }
    case 1: return SdPage::Eng;
    case 2: return SdPage::Bleed;
    case 3: return SdPage::Press;
    case 4: return SdPage::Elec;
    case 5: return SdPage::Hyd;
    case 6: return SdPage::Fuel;
    case 7: return SdPage::Apu;
    case 8: return SdPage::Cond;
    case 9: return SdPage::Door;
    case 10: return SdPage::Wheel;
    case 11: return SdPage::Fctl;
    case 12: return SdPage::Status;
    default: return SdPage::None;
  }
}

}  // namespace sd
