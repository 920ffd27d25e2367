#pragma once
// APU page: the simulator sends no APU data, so the page runs its own start
// and shut-down model, one step per draw of the page.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::apu {

struct ApuModel {
  float load = 0.0f;       // generator load, percent
  float voltage = 0.0f;    // volts
  float frequency = 0.0f;  // hertz
  float bleed = 0.0f;      // psi
  float speed = 0.0f;      // N, percent
  float egt = 0.0f;        // degrees Celsius
};
ApuModel& apuModel();

// One draw's step; returns whether the APU counts as available.
bool step(ApuModel& m, float altitudeFt, bool engineOut);

// Truncated values as the numbers and needles show them.
std::int32_t shownSpeed(float speed);  // 0 to 116
std::int32_t shownEgt(float egt);      // 0 to 1000
// Inner needle angles; the outer index uses 0.9 a - 20.
float speedAngle(std::int32_t shownSpeed);
float egtAngle(std::int32_t shownEgt);

}  // namespace sd::apu
