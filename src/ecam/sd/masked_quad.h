#pragma once
// Masked pictures of the SD pages: the mask darkens
// the frame, the colour picture is added on top of it. Texturing must be on.
#include <GL/gl.h>

#include "ecam/draw/primitives.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"

namespace sd {

// Four corners in drawing order, textured (0,0), (1,0), (1,1), (0,1).
struct Corners {
  sdgeo::Point p[4];
};

inline Corners cornersOf(sdgeo::Quad q) { return {{{q.x0, q.y0}, {q.x1, q.y0}, {q.x1, q.y1}, {q.x0, q.y1}}}; }

inline void cornerQuad(const Corners& c, float z) {
  static constexpr float s[4] = {0.0f, 1.0f, 1.0f, 0.0f}, t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(s[i], t[i]);
    glVertex3f(c.p[i].x, c.p[i].y, z);
  }
  glEnd();
}

// Slots are the page's own constants, always below kEcamTextureSlots.
inline void maskedQuad(const GLuint* textures, int maskSlot, int colourSlot, const Corners& c, float z) {
  gldraw::maskedShape(textures[maskSlot], textures[colourSlot], [&] { cornerQuad(c, z); });
}

inline void maskedQuad(const GLuint* textures, int maskSlot, int colourSlot, sdgeo::Quad q, float z) {
  gldraw::maskedQuad(textures[maskSlot], textures[colourSlot], q.x0, q.y0, q.x1, q.y1, z);
}

}  // namespace sd
