#pragma once
// What the standby airspeed indicator and altimeter draw alike: the rolling
// drum counters over the shared digit strip.
#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "instruments/instrument.h"
#include "standby/drum_geometry.h"

namespace dial {

// A drum counter window shows its base t range minus an offset X. The rules
// below give X for one digit; the carry roll q is negative (or 0) and lifts
// a digit while every digit below it stands at its last step.

// Lowest digit, continuous value v (0 to just under 10): a value up to 1
// reads from cells 10 and 11, above 1 from cells 1 to 10.
inline float lowestOffset(float v) {
  if (v <= 1.0f) return -v * drumgeo::kCellStep;
  return drumgeo::kTenCells - v * drumgeo::kCellStep;
}
// Middle digit d: 0 and 1 read from cells 10 and 11.
inline float middleOffset(std::int32_t d, float q) {
  if (d <= 1) return q - float(d) * drumgeo::kCellStep;
  return drumgeo::kTenCells - float(d) * drumgeo::kCellStep + q;
}
// Leading digit d: always cell d, so a leading 0 is cell 0.
inline float leadingOffset(std::int32_t d, float q) {
  return drumgeo::kTenCells - float(d) * drumgeo::kCellStep + q;
}

// Words are read as floats from the wire; NaN reads as 0 and the
// infinities as the largest finite value of their sign, so every product
// below stays finite and every angle handed to GL is a number.
inline float finiteOr0(float v) {
  if (std::isnan(v)) return 0.0f;
  if (std::isinf(v)) return v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
  return v;
}

// An angle in degrees brought into (-360, 360): the same turn, but one
// that GL's float sine and cosine still resolve.
inline float wrapDegrees(float a) { return float(std::fmod(double(a), 360.0)); }

// Opens the slot and draws the dial face at z with texturing on; the
// rotated group stays current for what follows.
void beginFace(const InstrumentContext& ctx, const Placement& placement, GLuint face, float z);

// Unbinds, turns texturing off and adds the tint wash when asked for.
void endFace(const InstrumentContext& ctx, const FlightDataBlock& block);

// One counter window, texture already bound, matrix already set.
void drumWindow(const drumgeo::Window& w, float offset, float z);

}  // namespace dial
