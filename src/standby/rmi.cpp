#include "standby/rmi.h"

#include <cmath>

#include "instruments/gl_helpers.h"
#include "standby/rmi_geometry.h"

using namespace rmigeo;

namespace {

enum Texture { kCard, kNeedle1, kNeedle1Mask, kNeedle2, kNeedle2Mask, kBezel, kBezelMask };

// 65536 steps to the full turn.
constexpr float kBearingScale = 0.0054931640625f;

// A turn GL cannot draw (NaN, or an infinity from the wire or from an
// overflowing difference) is drawn as none, which for a needle is parked.
float drawable(float v) { return std::isfinite(v) ? v : 0.0f; }

}  // namespace

Rmi::Rmi(InstrumentContext& ctx) : Instrument(A320_RMI), ctx_(ctx) {}

Rmi::~Rmi() {
  gldraw::deleteTextures(textures_, kTextureCount);
}

bool Rmi::initialise() {
  return gldraw::loadNumberedTextures(ctx_, 1210000u, textures_, kTextureCount);
}

Rmi::Turns Rmi::turns(const FlightDataBlock& block) {
  const float heading = block.f32(14);
  float bearing1 = block.f32(64);
  float turn2 = heading - (block.f32(75) * kBearingScale + 90.0f);
  // No bearing 1 means no station at all: both needles park.
  if (block.f32(64) == 0.0f) {
    bearing1 = 90.0f;
    turn2 = 0.0f;
  }
  if (block.f32(62) == 0.0f || (block.u32(59) >> 7) == 1u) turn2 = 0.0f;
  return {drawable(heading), drawable(90.0f - bearing1), drawable(turn2)};
}

bool Rmi::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;
  const Turns t = turns(block);
  gldraw::beginInstrument(placement);
  glEnable(GL_TEXTURE_2D);

  gldraw::beginGroup(ctx_);
  glRotatef(t.card, 0.0f, 0.0f, 1.0f);
  gldraw::pictureQuad(ctx_, textures_[kCard], -kCardHalf, -kCardHalf, kCardHalf, kCardHalf, kCardZ);

  gldraw::beginGroup(ctx_);
  glRotatef(t.needle1, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(ctx_, textures_[kNeedle1Mask], textures_[kNeedle1], kNeedleLeft, -kNeedle1HalfHeight, kNeedleRight,
             kNeedle1HalfHeight, kNeedle1Z);

  gldraw::beginGroup(ctx_);
  glRotatef(t.needle2, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(ctx_, textures_[kNeedle2Mask], textures_[kNeedle2], kNeedleLeft, -kNeedle2HalfHeight, kNeedleRight,
             kNeedle2HalfHeight, kNeedle2Z);

  gldraw::beginGroup(ctx_);
  gldraw::maskedQuad(ctx_, textures_[kBezelMask], textures_[kBezel], -1.0f, -1.0f, 1.0f, 1.0f, kBezelZ);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  gldraw::tintOverlay(ctx_, block);
  return true;
}
