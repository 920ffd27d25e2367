#include "standby/altimeter.h"

#include <algorithm>

#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"
#include "standby/altimeter_geometry.h"
#include "standby/dial_parts.h"

using namespace altimetergeo;

namespace {

// Whole counts of the shown steps (hundredths or tenths) split into drum
// offsets, lowest digit first; the leading digit keeps whatever is left
// above it. Counting whole steps keeps float error from showing 29.98 for
// 29.99, and a whole lowest digit never stands past 9, so no drum of a
// pressure setting rolls a carry.
template <std::size_t N>
std::array<float, N> pressureDigits(std::int32_t steps) {
  std::array<float, N> x{};
  for (std::size_t i = 0; i < N; ++i) {
    const std::int32_t d = i + 1 == N ? steps : steps % 10;
    steps /= 10;
    if (i == 0)
      x[i] = dial::lowestOffset(float(d));
    else
      x[i] = i + 1 == N ? dial::leadingOffset(d, 0.0f) : dial::middleOffset(d, 0.0f);
  }
  return x;
}

}  // namespace

Altimeter::Altimeter(InstrumentContext& ctx) : Instrument(A320_ALTITUDE), ctx_(ctx) {}

Altimeter::~Altimeter() {
  gldraw::deleteTextures(textures_.data(), int(textures_.size()));
}

bool Altimeter::initialise() {
  const bool ok = gldraw::loadNumberedTextures(ctx_, 1031000u, textures_.data(), int(textures_.size()));
  held_ = 0.0f;
  return ok;
}

Altimeter::AltitudeDrums Altimeter::altitudeOffsets(float feet) {
  // A counter that went on rolling below 0 would show 99989 ft for -11 ft:
  // it shows the 11 ft below with the NEG flag instead.
  const bool belowZero = dial::finiteOr0(feet) < 0.0f;
  const float shown = belowZero ? std::min(-dial::finiteOr0(feet), kDeepestShown) : dial::finiteOr0(feet);
  // Decimal digits in double so that 10000.0 splits into 1, 0, 0, 0 exactly.
  const double a = shown;
  const std::int32_t d5 = truncToInt32(a / 10000.0);
  const std::int32_t d4 = truncToInt32((a - 10000.0 * d5) / 1000.0);
  const std::int32_t d3 = truncToInt32((a - 10000.0 * d5 - 1000.0 * d4) / 100.0);
  const float tens = float((a - 10000.0 * d5 - 1000.0 * d4 - 100.0 * d3) / 10.0);

  // The digits above roll during the last 20 ft before they change.
  const float roll = tens > 8.0f ? float(-(double(tens) - 8.0) * 0.03846154) : 0.0f;
  const float q3 = roll;
  const float q4 = d3 >= 9 ? roll : 0.0f;
  const float q5 = d3 >= 9 && d4 >= 9 ? roll : 0.0f;

  AltitudeDrums d;
  d.tensOfFeet = dial::lowestOffset(tens);
  d.hundreds = dial::middleOffset(d3, q3);
  d.thousands = dial::middleOffset(d4, q4);
  d.tenThousands = dial::leadingOffset(d5, q5);
  d.belowZero = belowZero;
  return d;
}

Altimeter::PressureDrums Altimeter::pressureOffsets(float inches, float hectopascals) {
  // Rounded to the shown decimals and counted in whole steps.
  const std::int32_t hundredths = truncToInt32((double(dial::finiteOr0(inches)) + 0.005) * 100.0);
  const std::int32_t tenths = truncToInt32((double(dial::finiteOr0(hectopascals)) + 0.05) * 10.0);
  return {pressureDigits<4>(hundredths), pressureDigits<5>(tenths)};
}

Altimeter::Readout Altimeter::readout(const FlightDataBlock& block, float heldAltitude) {
  float a = dial::finiteOr0(block.f32(29));
  if (block.u32(92) & kHoldBits) a = heldAltitude;
  Readout r;
  r.altitude = a;
  r.needleAngle = dial::wrapDegrees(needleAngle(a));
  r.altitudeDrums = altitudeOffsets(a);
  r.pressureDrums = pressureOffsets(block.f32(31), block.f32(32));
  return r;
}

bool Altimeter::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;
  const Readout r = readout(block, held_);
  held_ = r.altitude;

  dial::beginFace(ctx_, placement, textures_[0], kFaceZ);

  glBindTexture(GL_TEXTURE_2D, textures_[3]);
  dial::drumWindow(kTensOfFeet, r.altitudeDrums.tensOfFeet, kCounterZ);
  dial::drumWindow(kHundreds, r.altitudeDrums.hundreds, kCounterZ);
  dial::drumWindow(kThousands, r.altitudeDrums.thousands, kCounterZ);
  if (r.altitudeDrums.belowZero)
    dial::drumWindow(kNegFlag, 0.0f, kCounterZ);
  else
    dial::drumWindow(kTenThousands, r.altitudeDrums.tenThousands, kCounterZ);
  for (std::size_t i = 0; i < 4; ++i) dial::drumWindow(kInchesWindows[i], r.pressureDrums.inches[i], kCounterZ);
  for (std::size_t i = 0; i < 5; ++i)
    dial::drumWindow(kHectopascalWindows[i], r.pressureDrums.hectopascals[i], kCounterZ);

  gldraw::beginGroup(ctx_);
  glRotatef(r.needleAngle, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(textures_[2], textures_[1], kNeedleLeft, -kNeedleHalfHeight, kNeedleRight, kNeedleHalfHeight,
                     kNeedleZ);

  dial::endFace(ctx_, block);
  return true;
}
