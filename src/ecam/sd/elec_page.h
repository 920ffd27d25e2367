#pragma once
// ELEC page: the simulator sends no electrical data; generator values come
// from the two engine generator drives and the altitude, afresh each draw.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::elec {

struct Generator {
  float load = 0.0f;       // percent
  float voltage = 0.0f;    // volts
  float frequency = 0.0f;  // hertz
  std::int32_t labelColour = 0;
  std::int32_t valueColour = 2;
};

struct Network {
  Generator gen1, gen2, apuGen;
  bool apuOnLine = true;
};

// Drives are words 148 and 198; above 1 the engine runs.
Network network(float drive1, float drive2, float altitudeFt);

}  // namespace sd::elec
