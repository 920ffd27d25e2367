// FUEL page: fuel used per engine, fuel on board and the five tanks.
#include "ecam/sd/fuel_page.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 32;
constexpr std::int32_t kColour = 2;
constexpr std::int32_t kOuterTankKg = 670;
constexpr std::int64_t kCentreOverInner = 1000;

// The tank sums run in 64 bits: a huge FOB would overflow 666 - K.
std::int32_t clampToInt32(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

namespace fuel {

Tanks splitTanks(float fobKg) {
  const float beyondOuter = fobKg - float(kOuterTankKg) - float(kOuterTankKg);
  const std::int64_t k = truncToInt32(beyondOuter * -0.33333334f);
  std::int64_t centre = 666 - k;
  std::int64_t inner = centre - kCentreOverInner;
  std::int64_t outer = kOuterTankKg;
  if (inner <= 0) {
    inner = 0;
    centre = truncToInt32(beyondOuter);
  }
  if (centre <= 0) {
    centre = 0;
    outer = truncToInt32(fobKg * 0.5f);
  }
  const std::int32_t i = clampToInt32(inner), o = clampToInt32(outer);
  return Tanks{o, i, clampToInt32(centre), i, o};
}

std::int32_t fuelUsedPerEngine(std::int32_t initialKg, float fobKg) {
  return truncToInt32((float(initialKg) - fobKg) * 0.5f);
}

}  // namespace fuel

void resetFuelPage() {}

bool drawFuelPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const float fobKg = block.f32(105) * kKgPerLb;
  const fuel::Tanks tanks = fuel::splitTanks(fobKg);
  const FrameState& state = frameState();
  const std::int32_t used = fuel::fuelUsedPerEngine(state.initialFuelKg, fobKg);

  d.drawBackground(kBackgroundSlot);
  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float s = kFuelSize, z = kElementZ;
  // Until fuel has arrived there is nothing to count from.
  if (state.initialFuelKnown) {
    DrawNumber(f, used, 4, 1, 1, kColour, s, kFuelUsed1.x, kFuelUsed1.y, z);
    DrawNumber(f, used, 4, 1, 1, kColour, s, kFuelUsed2.x, kFuelUsed2.y, z);
  }
  DrawNumber(f, truncToInt32(fobKg), 5, 0, 1, kColour, s, kFuelOnBoard.x, kFuelOnBoard.y, z);
  DrawNumber(f, tanks.leftInner, 4, 0, 1, kColour, s, kFuelLeftInnerX, kFuelInnerY, z);
  DrawNumber(f, tanks.centre, 4, 0, 1, kColour, s, kFuelCentreX, kFuelInnerY, z);
  DrawNumber(f, tanks.rightInner, 4, 0, 1, kColour, s, kFuelRightInnerX, kFuelInnerY, z);
  DrawNumber(f, tanks.leftOuter, 4, 0, 1, kColour, s, kFuelLeftOuterX, kFuelOuterY, z);
  DrawNumber(f, tanks.rightOuter, 4, 0, 1, kColour, s, kFuelRightOuterX, kFuelOuterY, z);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
