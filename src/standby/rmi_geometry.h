#pragma once
// Layout of the RMI's pictures, shared by the instrument and the artwork
// generator.

namespace rmigeo {

// The compass card quad, turned by the heading (counter-clockwise for a
// growing heading), so heading h is painted h degrees clockwise from the top.
inline constexpr float kCardHalf = 0.82f;

// Needle quads about the centre. Needle 1 is turned by 90 - (bearing from
// the nose), so its arrow head is its +x end; needle 2 is turned by
// heading - (bearing from north + 90), which puts the station under its -x
// end, so that is where its head is. kNeedle*Head is the head's side of x.
inline constexpr double kNeedle1Head = 1.0;
inline constexpr double kNeedle2Head = -1.0;
inline constexpr float kNeedleLeft = -0.82f;
inline constexpr float kNeedleRight = 0.82f;
inline constexpr float kNeedle1HalfHeight = 0.14f;
inline constexpr float kNeedle2HalfHeight = 0.1f;
// Where the needle pictures put their parts, along the needle from the
// pivot towards its head.
inline constexpr double kNeedleTip = 0.78;
inline constexpr double kNeedle1ShaftHalf = 0.014;  // one solid bar
inline constexpr double kNeedle2BarOffset = 0.032;  // two bars either side of the axis
inline constexpr double kNeedle2BarWidth = 0.016;

inline constexpr float kCardZ = -0.1f;
inline constexpr float kNeedle1Z = -0.2f;
inline constexpr float kNeedle2Z = -0.3f;
inline constexpr float kBezelZ = -0.4f;

// The bezel's window onto the card; the card's corners lie under the bezel.
inline constexpr float kWindowRadius = 0.8f;

// Card marks every 5 degrees, the 10-degree ones longer, all ending at
// kTickOuter.
inline constexpr double kTickOuter = kWindowRadius - 0.005;
inline constexpr double kTenTickLength = 0.085;
inline constexpr double kFiveTickLength = 0.045;

// Picture sizes written by the generator (powers of two).
inline constexpr int kCardSize = 1024;
inline constexpr int kNeedleWidth = 1024;
inline constexpr int kNeedleHeight = 128;
inline constexpr int kBezelSize = 1024;

}  // namespace rmigeo
