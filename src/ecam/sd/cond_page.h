#pragma once
// COND page: the trim valve model beside the shared cabin temperatures.
#include "ecam/sd/pages.h"

namespace sd::cond {

// Opening of the hot-air trim valve of each zone.
struct TrimValves {
  float opening[3] = {0.0f, 0.0f, 0.0f};
};
TrimValves& trimValves();

// One draw of the zone temperatures and the valves.
void step(CabinState& cabin, TrimValves& valves, float speedKt, float satC, float altitudeFt);
// Needle angle in degrees: -47 shut, -134 fully open.
float needleAngle(float opening);
// The hot-air valve shows open while any trim valve is above 0.5.
bool hotAirShown(const TrimValves& valves);

}  // namespace sd::cond
