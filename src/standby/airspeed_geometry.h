#pragma once
// Layout of the standby airspeed indicator's pictures, shared by the
// instrument and the artwork generator so that the painted scale, pointers
// and counter cells agree with where they are drawn.
#include "standby/drum_geometry.h"

namespace airspeedgeo {

// Dial angle of a speed in knots, degrees counter-clockwise from +x. The scale
// is painted with it, so a pointer turned by it points at its number.
inline constexpr float dialAngle(float v) {
  if (v < 60.0f) return 94.0f - 0.06666667f * v;
  if (v < 100.0f) return 90.0f - 1.5f * (v - 60.0f);
  if (v < 160.0f) return 30.0f - 1.5f * (v - 100.0f);
  if (v < 250.0f) return 300.0f - 0.9f * (v - 160.0f);
  if (v < 460.0f) return 219.0f - 0.52f * (v - 250.0f);
  return 109.8f;
}
// The scale runs from here to kScaleTop; below it the needle rests near the top.
inline constexpr float kScaleBottom = 60.0f;
inline constexpr float kScaleTop = 460.0f;

// Both pointer quads, about the pivot at the centre; the long end is +x.
inline constexpr float kPointerLeft = -0.37f;
inline constexpr float kPointerRight = 0.8f;
inline constexpr float kPointerHalfHeight = 0.073125f;
// The needle's counterweight reaches no farther from the pivot than this,
// short of every counter window, so at rest (pointing up) or at any speed
// it never covers a digit.
inline constexpr float kCounterweightReach = 0.14f;

inline constexpr float kFaceZ = 0.0f;
inline constexpr float kCounterZ = -0.3f;
inline constexpr float kSecondPointerZ = -0.4f;
inline constexpr float kNeedleZ = -0.5f;

// Drum strip columns: the one-cell windows read the left half, the tall
// windows of the continuously rolling digits the right half.
inline constexpr float kLeftS0 = 0.0f, kLeftS1 = 0.5f;
inline constexpr float kRightS0 = 0.5f, kRightS1 = 1.0f;
// Base t range of the tall windows: 1.6 cells centred on cell 10.
inline constexpr float kTallT0 = 0.74597496f, kTallT1 = 0.8694097f;

// Counter windows in drawing order.
inline constexpr drumgeo::Window kMachSecond{-0.03f, 0.15f, 0.19f, 0.49f, kRightS0, kRightS1, kTallT0, kTallT1};
inline constexpr drumgeo::Window kMachFirst{-0.23f, -0.05f, 0.25f, 0.43f, kLeftS0, kLeftS1, drumgeo::kTenCells,
                                            drumgeo::kElevenCells};
inline constexpr drumgeo::Window kUnits{0.07f, 0.25f, -0.45f, -0.15f, kRightS0, kRightS1, kTallT0, kTallT1};
inline constexpr drumgeo::Window kTens{-0.13f, 0.05f, -0.39f, -0.21f, kLeftS0, kLeftS1, drumgeo::kTenCells,
                                       drumgeo::kElevenCells};
inline constexpr drumgeo::Window kHundreds{-0.31f, -0.13f, -0.39f, -0.21f, kLeftS0, kLeftS1, drumgeo::kTenCells,
                                           drumgeo::kElevenCells};

// Picture sizes written by the generator (powers of two).
inline constexpr int kFaceSize = 1024;
inline constexpr int kPointerWidth = 1024;
inline constexpr int kPointerHeight = 128;
inline constexpr int kDrumWidth = 128;
inline constexpr int kDrumHeight = 1024;

}  // namespace airspeedgeo
