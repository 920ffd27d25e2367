#include "standby/attitude.h"

#include <cmath>

#include "instruments/gl_helpers.h"
#include "standby/attitude_geometry.h"

using namespace attitudegeo;

namespace {

// A turn or shift GL cannot draw (NaN, or an infinity from the wire or from
// an overflowing difference) is drawn as none.
float drawable(float v) { return std::isfinite(v) ? v : 0.0f; }

// Mask and picture share one atlas layout, so one region serves both.
void maskedQuad(const InstrumentContext& ctx, GLuint masks, GLuint pictures, const Quad& q, float shift, float z,
                const Region& r) {
  gldraw::maskedQuad(ctx, masks, pictures, q.x0, q.y0 + shift, q.x1, q.y1 + shift, z, float(r.s0), float(r.t0),
                     float(r.s1), float(r.t1));
}

}  // namespace

AttitudeIndicator::AttitudeIndicator(InstrumentContext& ctx) : Instrument(A320_ATTITUDE), ctx_(ctx) {}

AttitudeIndicator::~AttitudeIndicator() {
  if (pictures_) glDeleteTextures(1, &pictures_);
  if (masks_) glDeleteTextures(1, &masks_);
}

bool AttitudeIndicator::initialise() {
  pictures_ = 0;
  masks_ = 0;
  const bool pictures = ctx_.loadTexture("Data/01020050.tex", pictures_);
  const bool masks = ctx_.loadTexture("Data/01020051.tex", masks_);
  return pictures && masks;
}

float AttitudeIndicator::limitPitch(float degrees) {
  if (std::isnan(degrees)) return 0.0f;
  if (degrees > kPitchLimit) return kPitchLimit;
  if (degrees < -kPitchLimit) return -kPitchLimit;
  return degrees;
}

AttitudeIndicator::Pose AttitudeIndicator::pose(const FlightDataBlock& block) {
  const float pitch = limitPitch(block.f32(22));
  const float commandPitch = limitPitch(block.f32(101));
  const float bank = block.f32(23);
  Pose p;
  p.bankTurn = drawable(-bank);
  p.ladderShift = pitch * kPitchStep;
  p.commandTurn = drawable(-(bank - block.f32(102)));
  p.commandShift = (pitch - commandPitch) * kCommandStep;
  p.commandShown = block.f32(103) != 0.0f;
  p.symbolShift = drawable(block.f32(24) * kSymbolStep);
  return p;
}

bool AttitudeIndicator::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;
  const Pose p = pose(block);
  gldraw::beginInstrument(placement);
  glEnable(GL_TEXTURE_2D);

  gldraw::beginGroup(ctx_);
  glRotatef(p.bankTurn, 0.0f, 0.0f, 1.0f);
  gldraw::pictureQuad(ctx_, pictures_, kHorizonQuad.x0, kHorizonQuad.y0, kHorizonQuad.x1, kHorizonQuad.y1, kHorizonZ,
                      float(kHorizon.s0), float(kHorizon.t0), float(kHorizon.s1), float(kHorizon.t1));
  maskedQuad(ctx_, masks_, pictures_, kPitchScaleQuad, p.ladderShift, kPitchScaleZ, kPitchScale);

  if (p.commandShown) {
    gldraw::beginGroup(ctx_);
    glRotatef(p.commandTurn, 0.0f, 0.0f, 1.0f);
    maskedQuad(ctx_, masks_, pictures_, kCommandBarQuad, p.commandShift, kCommandBarZ, kCommandBar);
  }

  gldraw::beginGroup(ctx_);
  maskedQuad(ctx_, masks_, pictures_, kFixedSymbolQuad, p.symbolShift, kFixedSymbolZ, kFixedSymbol);
  glRotatef(p.bankTurn, 0.0f, 0.0f, 1.0f);
  maskedQuad(ctx_, masks_, pictures_, kBankRingQuad, 0.0f, kBankRingZ, kBankRing);

  gldraw::beginGroup(ctx_);
  maskedQuad(ctx_, masks_, pictures_, kBezelQuad, 0.0f, kBezelZ, kBezel);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  gldraw::tintOverlay(ctx_, block);
  return true;
}
