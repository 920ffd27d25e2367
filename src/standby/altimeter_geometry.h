#pragma once
// Layout of the standby altimeter's pictures, shared by the instrument and
// the artwork generator so that the painted scale, needle and counter cells
// agree with where they are drawn.
#include "standby/drum_geometry.h"

namespace altimetergeo {

// Needle angle in degrees counter-clockwise from +x: one turn per 1000 ft,
// 0 ft at the top. The scale is painted with it.
inline constexpr float kZeroAngle = 90.0f;
inline constexpr float kDegreesPerFoot = 0.36f;
inline constexpr float needleAngle(float feet) { return kZeroAngle - kDegreesPerFoot * feet; }

// Needle quad about the pivot at the centre; the long end is +x.
inline constexpr float kNeedleLeft = -0.1f;
inline constexpr float kNeedleRight = 0.85f;
inline constexpr float kNeedleHalfHeight = 0.073125f;

inline constexpr float kFaceZ = 0.0f;
inline constexpr float kCounterZ = -0.3f;
inline constexpr float kNeedleZ = -0.5f;

// Drum strip columns along s. The pressure windows read a little more of
// the strip than the altitude digits, so both share one set of digits.
inline constexpr float kTenThousandsS0 = 0.02f, kTenThousandsS1 = 0.22f;
inline constexpr float kDigitS0 = 0.25f, kDigitS1 = 0.45f;
inline constexpr float kTensOfFeetS0 = 0.7f, kTensOfFeetS1 = 0.98f;  // its cells are 10 ft steps
inline constexpr float kPressureS0 = 0.25f, kPressureS1 = 0.5f;

// Base t ranges: the tens-of-feet drum shows about 2.1 cells, the other
// altitude digits 1.04 cells, the pressure digits exactly one.
inline constexpr float kTensT0 = 0.7272308f - 0.005f, kTensT1 = 0.88815385f - 0.005f;
inline constexpr float kDigitT0 = 0.7692308f, kDigitT1 = 0.8492308f;
inline constexpr float kTenThousandsT0 = 0.7692308f - 0.002f, kTenThousandsT1 = 0.8492308f - 0.002f;
inline constexpr float kPressureT0 = drumgeo::kTenCells, kPressureT1 = drumgeo::kElevenCells;

// Counter windows in drawing order.
inline constexpr drumgeo::Window kTensOfFeet{0.25f, 0.48f, 0.13f, 0.37f, kTensOfFeetS0, kTensOfFeetS1, kTensT0, kTensT1};
inline constexpr drumgeo::Window kHundreds{0.05f, 0.22f, 0.15f, 0.35f, kDigitS0, kDigitS1, kDigitT0, kDigitT1};
inline constexpr drumgeo::Window kThousands{-0.25f, -0.05f, 0.15f, 0.4f, kDigitS0, kDigitS1, kDigitT0, kDigitT1};
inline constexpr drumgeo::Window kTenThousands{-0.47f, -0.27f, 0.15f, 0.4f, kTenThousandsS0, kTenThousandsS1,
                                               kTenThousandsT0, kTenThousandsT1};
// Below sea level the ten-thousands window shows the NEG flag instead of a
// digit, and the other drums count the feet below. The flag has a column of
// its own, clear of the digit columns' edges, and one cell in it.
inline constexpr float kNegS0 = 0.5f, kNegS1 = 0.7f;
inline constexpr int kNegCell = 6;
inline constexpr float kNegT0 = (kNegCell + 0.5f) / drumgeo::kCells - (kTenThousandsT1 - kTenThousandsT0) / 2;
inline constexpr float kNegT1 = (kNegCell + 0.5f) / drumgeo::kCells + (kTenThousandsT1 - kTenThousandsT0) / 2;
inline constexpr drumgeo::Window kNegFlag{kTenThousands.x0, kTenThousands.x1, kTenThousands.y0, kTenThousands.y1,
                                          kNegS0, kNegS1, kNegT0, kNegT1};
// The deepest the counter shows; below it stays at 9999.9 with the flag.
inline constexpr float kDeepestShown = 9999.9f;

inline constexpr drumgeo::Window pressureWindow(float x0, float x1) {
  return {x0, x1, -0.45f, -0.35f, kPressureS0, kPressureS1, kPressureT0, kPressureT1};
}
// Word 31 (two decimals): hundredths, tenths, units, tens.
inline constexpr drumgeo::Window kInchesWindows[4] = {pressureWindow(0.45f, 0.55f), pressureWindow(0.35f, 0.45f),
                                                      pressureWindow(0.24f, 0.34f), pressureWindow(0.14f, 0.24f)};
// Word 32 (one decimal): tenths, units, tens, hundreds, thousands.
inline constexpr drumgeo::Window kHectopascalWindows[5] = {
    pressureWindow(-0.14f, -0.04f), pressureWindow(-0.25f, -0.15f), pressureWindow(-0.35f, -0.25f),
    pressureWindow(-0.45f, -0.35f), pressureWindow(-0.55f, -0.45f)};
// The face shows the decimal points through these gaps between windows.
inline constexpr float kInchesPointX = 0.345f;
inline constexpr float kHectopascalPointX = -0.145f;

// Picture sizes written by the generator (powers of two).
inline constexpr int kFaceSize = 1024;
inline constexpr int kNeedleWidth = 1024;
inline constexpr int kNeedleHeight = 128;
inline constexpr int kDrumWidth = 256;
inline constexpr int kDrumHeight = 1024;

}  // namespace altimetergeo
