#include "standby/dial_parts.h"

#include "instruments/gl_helpers.h"

namespace dial {

void beginFace(const InstrumentContext& ctx, const Placement& placement, GLuint face, float z) {
  gldraw::beginInstrument(placement);
  glEnable(GL_TEXTURE_2D);
  gldraw::beginGroup(ctx);
  gldraw::pictureQuad(ctx, face, -1.0f, -1.0f, 1.0f, 1.0f, z);
}

void endFace(const InstrumentContext& ctx, const FlightDataBlock& block) {
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  gldraw::tintOverlay(ctx, block);
}

void drumWindow(const drumgeo::Window& w, float offset, float z) {
  gldraw::texturedQuad(w.x0, w.y0, w.x1, w.y1, z, w.s0, w.t0 - offset, w.s1, w.t1 - offset);
}

}  // namespace dial
