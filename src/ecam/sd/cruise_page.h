#pragma once
// CRUISE page values and its step of the cabin model, as pure functions of
// the block's words so that tests can follow them draw by draw.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::cruise {

// Per engine: half of what the tanks lost since they held the most fuel the
// display has seen.
std::int32_t fuelUsedPerEngine(std::int32_t initialFuelKg, float fuelOnBoardLb);
// 3 x the square root of the oil pressure in psi; NaN below 0 psi.
float oilQuantity(float oilPressureRaw);
// N1 vibration from the raw N1 word, as the ENG page shows it.
float vibration(float n1Raw);
// Where an engine 2 value starts: further left the fewer digits it has.
float engine2X(double value);
// Metres above the ground elevation; the altitude counts up to 40000 ft.
double heightAboveGroundM(float altitudeFt, std::int32_t groundElevationFt);
// One draw of the cabin model at this airspeed, SAT and height.
void stepCabin(CabinState& cabin, float speedKt, float satC, double heightM);

}  // namespace sd::cruise
