#pragma once
// FUEL page: only the total on board arrives, so the tanks are a fixed split
// of it and the fuel used is measured from the quantity at start-up.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::fuel {

// Kilograms per tank, left to right on the page.
struct Tanks {
  std::int32_t leftOuter, leftInner, centre, rightInner, rightOuter;
};
Tanks splitTanks(float fobKg);

// Burnt per engine since the first fuel the display saw; both engines show it.
std::int32_t fuelUsedPerEngine(std::int32_t initialKg, float fobKg);

}  // namespace sd::fuel
