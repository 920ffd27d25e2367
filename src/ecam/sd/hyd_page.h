#pragma once
// HYD page: system pressures from the two engine drives, afresh each draw.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::hyd {

enum class Ptu { Balanced, GreenToYellow, YellowToGreen };

struct Systems {
  std::int32_t green = 0, blue = 0, yellow = 0;  // psi
  Ptu ptu = Ptu::Balanced;
};

// Drive words 126 and 176 as sent.
Systems systems(float drive1, float drive2, bool onGround);
bool low(std::int32_t psi);

}  // namespace sd::hyd
