#pragma once
// BLEED page: the precooler temperature model of each engine and the values
// derived from N2, as pure functions so that tests can follow them draw by
// draw.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::bleed {

// Precooler temperatures of engines 1 and 2; they live for the whole run.
struct Precoolers {
  float temperature[2] = {0.0f, 0.0f};
};
Precoolers& precoolers();

// One draw of an engine's temperature (engine 0 or 1) at this N2 percent.
float stepTemperature(float temperature, float n2Percent, int engine);
// psi: rises with N2 up to 20 percent, then the regulated 44.
float bleedPressure(float n2Percent);
// 90 open above 21 percent N2, else 0 shut.
float valveAngle(float n2Percent);

// The pack values and needles the temperature of a side gives.
struct Pack {
  std::int32_t upper, lower;  // the A and B values
  float upperAngle, lowerAngle;
  bool upperLive, lowerLive;  // green needle; amber when the value is low
};
Pack pack(float temperature);

}  // namespace sd::bleed
