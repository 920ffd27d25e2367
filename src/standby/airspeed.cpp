#include "standby/airspeed.h"

#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"
#include "standby/airspeed_geometry.h"
#include "standby/dial_parts.h"

using namespace airspeedgeo;

AirspeedIndicator::AirspeedIndicator(InstrumentContext& ctx) : Instrument(A320_AIRSPEED), ctx_(ctx) {}

AirspeedIndicator::~AirspeedIndicator() {
  gldraw::deleteTextures(textures_.data(), int(textures_.size()));
}

bool AirspeedIndicator::initialise() {
  const bool ok = gldraw::loadNumberedTextures(ctx_, 1012000u, textures_.data(), int(textures_.size()));
  held_ = 0.0f;
  return ok;
}

AirspeedIndicator::Drums AirspeedIndicator::drumOffsets(float a, float m) {
  a = dial::finiteOr0(a);
  m = dial::finiteOr0(m);
  // The counters stop short of their last reading; the needle does not.
  if (m >= 1.0f) m = 0.999f;
  if (a >= 1000.0f) a = 999.9f;
  // Below 0 they stop at 0, as an airspeed counter does at its stop: rolling
  // on would show 995 kt for -5 kt, and 5 would read as a speed forwards.
  if (m < 0.0f) m = 0.0f;
  if (a < 0.0f) a = 0.0f;

  const std::int32_t m1 = truncToInt32(m * 10.0f);
  const float r = m * 100.0f - 10.0f * float(m1);

  // Decimal digits in double so that 100.0 splits into 1, 0, 0 and not 0, 9, 9.99.
  const double ad = a;
  const std::int32_t h = truncToInt32(ad / 100.0);
  const std::int32_t t = truncToInt32((ad - 100.0 * h) / 10.0);
  const float u = float(ad - (100.0 * h + 10.0 * t));

  // Carry rolls: the fraction by which the digit below is past 9.
  const float qr = r > 9.0f ? (r - 9.0f) / 13.0f : 0.0f;
  const float qt = u > 9.0f ? (u - 9.0f) / 13.0f : 0.0f;
  const float qh = t >= 9 && u > 9.0f ? (u - 9.0f) / 13.0f : 0.0f;

  Drums d;
  d.upperSecond = dial::lowestOffset(r);
  d.upperFirst = dial::middleOffset(m1, -qr);
  d.units = dial::lowestOffset(u);
  // While there are no hundreds the tens is the leading digit: 0 is blank.
  d.tens = h < 1 ? dial::leadingOffset(t, -qt) : dial::middleOffset(t, -qt);
  d.hundreds = dial::leadingOffset(h, -qh);
  return d;
}

AirspeedIndicator::Readout AirspeedIndicator::readout(const FlightDataBlock& block, float heldAirspeed) {
  const std::uint32_t status = block.u32(92);
  float a = dial::finiteOr0(block.f32(25));
  if (status & kHoldBit) a = heldAirspeed;
  if (status & kZeroBit) a = 0.0f;
  const float p = dial::finiteOr0(block.f32(27)) * 0.0078125f;
  const float m = dial::finiteOr0(block.f32(28)) * 4.8828871e-05f;

  Readout r;
  r.airspeed = a;
  r.needleAngle = dial::wrapDegrees(dialAngle(a));
  r.pointerAngle = dial::wrapDegrees(dialAngle(p));
  r.drums = drumOffsets(a, m);
  return r;
}

bool AirspeedIndicator::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;
  const Readout r = readout(block, held_);
  held_ = r.airspeed;

  dial::beginFace(ctx_, placement, textures_[0], kFaceZ);

  glBindTexture(GL_TEXTURE_2D, textures_[5]);
  dial::drumWindow(kMachSecond, r.drums.upperSecond, kCounterZ);
  dial::drumWindow(kMachFirst, r.drums.upperFirst, kCounterZ);
  dial::drumWindow(kUnits, r.drums.units, kCounterZ);
  dial::drumWindow(kTens, r.drums.tens, kCounterZ);
  dial::drumWindow(kHundreds, r.drums.hundreds, kCounterZ);

  glRotatef(r.pointerAngle, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(textures_[4], textures_[3], kPointerLeft, -kPointerHalfHeight, kPointerRight, kPointerHalfHeight,
                     kSecondPointerZ);

  gldraw::beginGroup(ctx_);
  glRotatef(r.needleAngle, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(textures_[2], textures_[1], kPointerLeft, -kPointerHalfHeight, kPointerRight, kPointerHalfHeight,
                     kNeedleZ);

  dial::endFace(ctx_, block);
  return true;
}
