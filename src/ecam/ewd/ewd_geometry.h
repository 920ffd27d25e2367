#pragma once
// Layout of the engine and warning display's pictures, shared by the
// instrument and the artwork generator so that the painted scales match the
// needles and markers drawn over them. Positions are in the instrument's
// square (-1 to 1, y up).

namespace ewdgeo {

// Dial centres; the N1 and EGT dials of one engine share an x.
inline constexpr float kEngine1X = -0.56875f;
inline constexpr float kEngine2X = -0.01875f;
inline constexpr float kN1CentreY = 0.60625f;
inline constexpr float kEgtCentreY = 0.24375f;

// Needles run from the centre to just across the scale arc; at angle 0 a
// needle points in -x and positive angles turn it counter-clockwise. The arc
// stays inside the needle's reach so that engine 2's dials keep clear of
// the N1 and EGT labels between the engines.
inline constexpr float kNeedleLength = 0.2125f;
inline constexpr float kArcRadius = 0.19f;
inline constexpr float kNeedleZ = -0.45f;

// Dial angle in degrees of an N1 or thrust-lever percentage: a compressed
// scale up to 50 %, a wider one above, stopping at kN1AngleStop.
inline constexpr float kN1AngleStop = -189.0f;
constexpr float n1DialAngle(float percent) {
  const float a = percent < 50.0f ? 24.0f - 1.4f * percent : -(46.0f + 2.2f * (percent - 50.0f));
  return a < kN1AngleStop ? kN1AngleStop : a;
}

// EGT dial angle in degrees of a temperature in deg C, clamped to the scale.
inline constexpr float kEgtMin = 0.0f;
inline constexpr float kEgtMax = 1000.0f;
constexpr float egtDialAngle(float celsius) {
  const float c = celsius < kEgtMin ? kEgtMin : (celsius > kEgtMax ? kEgtMax : celsius);
  return 34.0f - 0.18f * c;
}

// Scale marks painted on the dials (percent and deg C).
inline constexpr float kN1ScaleEnd = 110.0f;
inline constexpr float kN1RedFrom = 101.0f;
inline constexpr float kEgtRedFrom = 950.0f;

// Thrust-lever marker: a square on the needle axis, straddling the arc.
inline constexpr float kMarkerInner = 0.1875f;
inline constexpr float kMarkerOuter = 0.2375f;
inline constexpr float kMarkerHalfWidth = 0.025f;
inline constexpr float kMarkerZ = -0.51f;

// The background covers the whole square behind the text.
inline constexpr float kBackgroundZ = -0.5f;

// Black covers laid over the detent marks while the flaps are retracted.
struct Rect {
  float x0, y0, x1, y1;
};
inline constexpr Rect kSlatCover = {0.25f, -0.15f, 0.33f, 0.075f};
inline constexpr Rect kFlapCover = {0.7f, -0.225f, 0.9f, 0.075f};

// Top of the message area: the separating line sits just above the first
// memo line.
inline constexpr float kMemoLineY = -0.30f;
inline constexpr float kMemoDividerX = 0.33f;

// Picture sizes written by the generator.
inline constexpr int kBackgroundSize = 1024;
inline constexpr int kMarkerSize = 64;

}  // namespace ewdgeo
