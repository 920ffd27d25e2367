#pragma once
// PRESS page: the cabin follows the aircraft at a fifth of its height above
// the field; pure functions of the words so that tests can check them.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::press {

// Standard-atmosphere pressure in hectopascal at h metres.
double pressureHpa(double heightM);

struct Cabin {
  double heightM;    // aircraft above the field
  double altitudeFt; // cabin above the field
  double dpPsi;      // cabin minus outside pressure
};
Cabin cabin(float altitudeFt, std::int32_t groundElevationFt);

// Cabin vertical speed in ft/min, limited to +-999; not a number counts as 0.
float verticalSpeed(float word30);
std::int32_t verticalSpeedColour(float vs);

// Needle angles in degrees; a value that is not a number leaves the needle
// at its zero.
float dpAngle(double dpPsi);
float verticalSpeedAngle(float vs);
float cabinAltitudeAngle(double cabinFt);
float outflowAngle(double cabinFt);

}  // namespace sd::press
