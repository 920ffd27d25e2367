#pragma once
// Masked pictures of the BLEED, PRESS and F/CTL pages: the mask darkens
// the frame, the colour picture is added on top of it. Texturing must be on.
#include <GL/gl.h>

#include "ecam/draw/primitives.h"
#include "ecam/sd/sd_geometry.h"

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
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, textures[maskSlot]);
  cornerQuad(c, z);
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, textures[colourSlot]);
  cornerQuad(c, z);
  glDisable(GL_BLEND);
}

inline void maskedQuad(const GLuint* textures, int maskSlot, int colourSlot, sdgeo::Quad q, float z) {
  maskedQuad(textures, maskSlot, colourSlot, cornersOf(q), z);
}

}  // namespace sd
