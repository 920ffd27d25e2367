#include "standby/dial_parts.h"

#include "instruments/gl_helpers.h"

namespace dial {

void drumWindow(const drumgeo::Window& w, float offset, float z) {
  gldraw::texturedQuad(w.x0, w.y0, w.x1, w.y1, z, w.s0, w.t0 - offset, w.s1, w.t1 - offset);
}

void maskedQuad(GLuint mask, GLuint picture, float x0, float y0, float x1, float y1, float z) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, mask);
  gldraw::texturedQuad(x0, y0, x1, y1, z, 0.0f, 0.0f, 1.0f, 1.0f);
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, picture);
  gldraw::texturedQuad(x0, y0, x1, y1, z, 0.0f, 0.0f, 1.0f, 1.0f);
  glDisable(GL_BLEND);
}

}  // namespace dial
