#pragma once
// Steps of the cabin zone temperature model that the CRUISE and COND pages
// both run on the shared cabin state. Rates are per draw.
#include <algorithm>
#include <cstdint>

#include "ecam/sd/pages.h"
#include "instruments/saturate.h"

namespace sd::cabin {

inline constexpr float kGroundWarming[3] = {0.009f, 0.008f, 0.008f};
inline constexpr float kCruiseCooling[3] = {0.0012f, 0.001f, 0.001f};
inline constexpr float kReheat = 0.008f;
inline constexpr std::int64_t kReheatBelowTarget = 4;  // degrees zone 1 may fall before reheating

// Seed value for the zones from the SAT: truncated, saturated for any input.
inline std::int32_t seedTemperature(float sat) { return truncToInt32(sat); }

// Target minus zone 1, both whole degrees; 64 bits so no input overflows.
inline std::int64_t zone1Shortfall(const CabinState& c) {
  return std::int64_t(c.zoneTarget[0]) - truncToInt32(c.zoneTemperature[0]);
}

inline void seedZones(CabinState& c, std::int32_t temperature) {
  for (float& t : c.zoneTemperature) t = float(temperature);
}

// Each zone moves by its step and never ends above its target.
inline void raiseZones(CabinState& c, const float (&step)[3]) {
  for (int i = 0; i < 3; ++i)
    c.zoneTemperature[i] = std::min(c.zoneTemperature[i] + step[i], float(c.zoneTarget[i]));
}
inline void raiseZones(CabinState& c, float step) { raiseZones(c, {step, step, step}); }

inline void coolZones(CabinState& c) {
  for (int i = 0; i < 3; ++i) c.zoneTemperature[i] -= kCruiseCooling[i];
}

// Cruise: cool slowly until zone 1 is four degrees short of its target, then
// reheat every zone until zone 1 is back at it. `shortfall` is taken before
// this draw changed anything. Returns whether the zones were reheated.
inline bool cruiseStep(CabinState& c, std::int64_t shortfall) {
  coolZones(c);
  if (shortfall >= kReheatBelowTarget) c.heating = true;
  const bool reheat = shortfall >= kReheatBelowTarget || c.heating;
  if (reheat) raiseZones(c, kReheat);
  return reheat;
}

// The last act of a cruise step, after anything the page adds in between.
inline void endHeatingAtTarget(CabinState& c) {
  if (float(c.zoneTarget[0]) <= c.zoneTemperature[0]) c.heating = false;
}

}  // namespace sd::cabin
