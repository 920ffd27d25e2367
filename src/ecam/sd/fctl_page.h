#pragma once
// F/CTL page: surface positions from the stick, the speed brake lever and
// the trim word; the page keeps nothing between draws.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::fctl {

// 1 to 4 only for the lever's four exact detent values, else 0.
std::int32_t speedBrakeLevel(float lever);

struct Surfaces {
  float spoiler[10];  // left wing outboard to inboard, then right inboard to outboard
  float leftAileron, rightAileron;
  float elevator;
  float rudderDeg;
};
// A stick input that is not a number counts as centred.
Surfaces surfaces(float pitch, float roll, float speedBrakeLever);

// Pitch trim in degrees from the raw trim word; nose down is negative.
float pitchTrim(float raw);

}  // namespace sd::fctl
