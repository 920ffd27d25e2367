#pragma once
// WHEEL page: the brake heating model and the gear door animation.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::wheel {

// Lives for the whole run and advances once per draw of the page.
struct BrakeModel {
  float temperature[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // left to right on the page
  float touchdownHeat = 0.0f;
  bool touchdownArmed = false;
};
BrakeModel& brakeModel();

// The words of one draw that the brakes follow.
struct BrakeInputs {
  float tatC = 0.0f;
  float indicatedKt = 0.0f;
  float brakeInput = 0.0f;  // word 41
  float groundSpeedKt = 0.0f;
  bool onGround = false;
};
BrakeInputs brakeInputs(const FlightDataBlock& block);
void stepBrakes(BrakeModel& model, const BrakeInputs& in);

// One gear's doors and symbol as a draw shows them.
struct GearView {
  float doorAngle = 0.0f;  // degrees, -130 (open) to 0 (closed)
  std::int32_t doorColour = 2;
  std::int32_t symbolColour = 2;
  bool symbolShown = false;
};
GearView gearView(float lever, float position);

}  // namespace sd::wheel
