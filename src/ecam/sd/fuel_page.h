#pragma once
// FUEL page: only the total on board arrives, so the tanks are a fixed split
// of it and the fuel used is measured from the most fuel seen since start-up.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::fuel {

// Kilograms per tank, left to right on the page.
struct Tanks {
  std::int32_t leftOuter, leftInner, centre, rightInner, rightOuter;
};
Tanks splitTanks(float fobKg);

// Burnt per engine since the most fuel on board the display has seen; both
// engines show it.
std::int32_t fuelUsedPerEngine(std::int32_t initialKg, float fobKg);

}  // namespace sd::fuel
