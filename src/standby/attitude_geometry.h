#pragma once
// Layout of the standby attitude indicator's two atlases (pictures and
// masks, same regions), shared by the instrument and the artwork generator.

namespace attitudegeo {

// A part of the atlas and the quad it is drawn on.
struct Region {
  double s0, s1, t0, t1;
};
struct Quad {
  float x0, x1, y0, y1;
};

// The small insets keep neighbouring pictures out of the sampled area.
inline constexpr Region kHorizon{0.0, 0.43988, 0.5, 1.0};  // picture atlas only
inline constexpr Region kPitchScale{0.43988, 0.78006, 0.00167, 0.22167};
inline constexpr Region kCommandBar{0.43988 + 0.00147, 0.89736 - 0.00147, 0.45, 0.5 - 0.00167};
inline constexpr Region kFixedSymbol{0.78006 + 0.00147, 1 - 0.00147, 0.00167, 0.29 - 0.00167};
inline constexpr Region kBankRing{0.43988, 0.87977, 0.5 + 0.00167, 1.0};
inline constexpr Region kBezel{0.0, 0.43988, 0.0, 0.5};

// Quads at zero pitch, bank and symbol offset. The pitch scale moves up by
// kPitchStep per degree, the command bar by kCommandStep per degree of
// pitch above the commanded pitch, the symbol by kSymbolStep per unit of
// its offset word.
inline constexpr Quad kHorizonQuad{-1.0f, 1.0f, -1.0f, 1.0f};
inline constexpr Quad kPitchScaleQuad{-0.77333f, 0.77333f, -0.44333f, 0.44333f};
inline constexpr Quad kCommandBarQuad{-0.52f, 0.52f, -0.08124f, 0.01876f};
inline constexpr Quad kFixedSymbolQuad{-0.25f, 0.25f, -0.565f, 0.015f};
inline constexpr Quad kBankRingQuad{-1.0f, 1.0f, -1.0f, 1.0f};
inline constexpr Quad kBezelQuad{-1.0f, 1.0f, -1.0f, 1.0f};

inline constexpr float kPitchStep = 0.0116f;
inline constexpr float kCommandStep = 0.012f;
inline constexpr float kSymbolStep = 0.0012f;
inline constexpr float kPitchLimit = 25.0f;

inline constexpr float kHorizonZ = -0.2f;
inline constexpr float kPitchScaleZ = -0.3f;
inline constexpr float kCommandBarZ = -0.35f;
inline constexpr float kFixedSymbolZ = -0.36f;
inline constexpr float kBankRingZ = -0.4f;
inline constexpr float kBezelZ = -0.45f;

// The bank ring hides the pitch scale's side edges: its inside radius is
// below the scale's half width.
inline constexpr float kRingInner = 0.74f;
inline constexpr float kBezelInner = 0.88f;
// The ring's zero-bank pointer, a triangle pointing up at the bezel's
// fixed index; the ring's marks end at kBankMarkOuter.
inline constexpr double kBankPointerBase = 0.785;
inline constexpr double kBankMarkOuter = 0.875;

// Atlas size written by the generator (powers of two). 1024 keeps the thin
// ladder strokes whole at the usual slot sizes; 2048 broke them up.
inline constexpr int kAtlasSize = 1024;

}  // namespace attitudegeo
