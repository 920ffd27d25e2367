#include "standby/clock.h"

#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"
#include "standby/clock_geometry.h"

using namespace clockgeo;

Clock::Clock(InstrumentContext& ctx) : Instrument(A320_CLOCK), ctx_(ctx) {}

Clock::~Clock() {
  if (face_) glDeleteTextures(1, &face_);
  if (digits_) glDeleteTextures(1, &digits_);
}

bool Clock::initialise() {
  face_ = 0;
  digits_ = 0;
  const bool face = ctx_.loadTexture("Data/01240000.tex", face_);
  const bool digits = ctx_.loadTexture("Data/01240001.tex", digits_);
  return face && digits;
}

Clock::DigitPair Clock::digitPair(float value) {
  const std::int32_t v = truncToInt32(value);
  if (v < 10) return {0, v};
  // Values of 10 and more split unsigned; 100 and more give a tens digit past
  // the strip, which samples wherever the texture repeats.
  const std::uint32_t u = static_cast<std::uint32_t>(v);
  return {std::int64_t(u / 10u), std::int64_t(u % 10u)};
}

void Clock::digitCell(std::int64_t d, double& tLower, double& tUpper) {
  const float offset = static_cast<float>(d) * kDigitStep;
  tLower = kDigitBottom - offset;
  tUpper = kDigitTop - offset;
}

bool Clock::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;
  const DigitPair seconds = digitPair(block.f32(4));
  const DigitPair minutes = digitPair(block.f32(3));
  const DigitPair hours = digitPair(block.f32(2));
  gldraw::beginInstrument(placement);

  glEnable(GL_TEXTURE_2D);
  gldraw::beginGroup(ctx_);
  gldraw::pictureQuad(ctx_, face_, -1.0f, -1.0f, 1.0f, 1.0f, kFaceZ);

  glBindTexture(GL_TEXTURE_2D, digits_);
  // Every cell is drawn under the same turn: setting it once lets the
  // eight cells go to the rasteriser as one draw.
  gldraw::beginGroup(ctx_);
  auto cell = [&](int column, double t0, double t1) {
    const float x0 = kCellsLeft + kCellWidth * float(column);
    gldraw::texturedQuad(x0, kCellBottom, x0 + kCellWidth, kCellTop, kDigitZ, 0.0f, float(t0), 1.0f, float(t1));
  };
  auto digit = [&](int column, std::int64_t d) {
    double t0, t1;
    digitCell(d, t0, t1);
    cell(column, t0, t1);
  };
  digit(7, seconds.units);
  digit(6, seconds.tens);
  cell(5, kColonBottom, kColonTop);
  digit(4, minutes.units);
  digit(3, minutes.tens);
  cell(2, kColonBottom, kColonTop);
  digit(1, hours.units);
  digit(0, hours.tens);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  gldraw::tintOverlay(ctx_, block);
  return true;
}
