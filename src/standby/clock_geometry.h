#pragma once
// Layout of the clock's two pictures, shared by the clock and the artwork
// generator so that the digit cells line up with what is drawn in them.

namespace clockgeo {

// Digit strip: digit d spans t from kDigitBottom - d * kDigitStep to
// kDigitTop - d * kDigitStep (digit 0 at the top); the colon cell sits at
// the bottom of the picture.
inline constexpr float kDigitStep = 0.08318333f;
inline constexpr double kDigitBottom = 0.91167;
inline constexpr double kDigitTop = 1.0;
inline constexpr double kColonBottom = 0.0;
inline constexpr double kColonTop = 0.08333;

// Where the eight cells sit on the face, in the instrument's square.
inline constexpr float kCellBottom = -0.21f;
inline constexpr float kCellTop = 0.11f;
inline constexpr float kCellWidth = 0.18f;
inline constexpr float kCellsLeft = -0.72f;
inline constexpr float kFaceZ = 0.0f;
inline constexpr float kDigitZ = -0.2f;

// Picture sizes written by the generator (powers of two, so the upload does
// not rescale them).
inline constexpr int kFaceSize = 512;
inline constexpr int kStripWidth = 64;
inline constexpr int kStripHeight = 1024;

}  // namespace clockgeo
