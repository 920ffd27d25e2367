#pragma once
// ENG page: secondary engine values, derived afresh on every draw.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::eng {

struct EngineValues {
  float fuelUsedKg = 0.0f;
  float oilPressurePsi = 0.0f;
  float oilQuantity = 0.0f;
  float value = 0.0f;  // the two-digit readout under the dials
  float n1Vibration = 0.0f;
  float n2Vibration = 0.0f;
};
// engine 0 or 1.
EngineValues engineValues(const FlightDataBlock& block, int engine);

float fuelUsedKg(float fuelFlowLbPerHour, std::int32_t elapsedSeconds);
float vibration(float scaled);  // N1 or N2 word x 0.001
float oilQuantityAngle(float quantity);
float oilPressureAngle(float psi);
std::int32_t oilPressureColour(float psi);
std::int32_t valueColour(float value);
// Engine 2 fuel used starts further right the more digits it has.
float fuelUsed2X(float fuelUsedKg);

}  // namespace sd::eng
