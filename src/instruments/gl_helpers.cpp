#include "instruments/gl_helpers.h"

#include <cstdio>

namespace gldraw {

bool beginInstrument(const Placement& p) {
  if (p.visible == 0) return false;
  glViewport(p.x, p.y, p.width < 0 ? 0 : p.width, p.height < 0 ? 0 : p.height);
  glFrontFace(GL_CCW);
  return true;
}

void beginGroup(const InstrumentContext& ctx) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(ctx.rotationAngle(), 0.0f, 0.0f, 1.0f);
}

void texturedQuad(float x0, float y0, float x1, float y1, float z, float s0, float t0, float s1, float t1) {
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glTexCoord2f(s0, t0);
  glVertex3f(x0, y0, z);
  glTexCoord2f(s1, t0);
  glVertex3f(x1, y0, z);
  glTexCoord2f(s1, t1);
  glVertex3f(x1, y1, z);
  glTexCoord2f(s0, t1);
  glVertex3f(x0, y1, z);
  glEnd();
}

void maskedQuad(GLuint mask, GLuint picture, float x0, float y0, float x1, float y1, float z, float s0, float t0,
                float s1, float t1) {
  maskedShape(mask, picture, [&] { texturedQuad(x0, y0, x1, y1, z, s0, t0, s1, t1); });
}

bool loadNumberedTextures(InstrumentContext& ctx, unsigned first, GLuint* textures, int count) {
  bool all = true;
  for (int i = 0; i < count; ++i) {
    textures[i] = 0;
    char name[32];
    std::snprintf(name, sizeof name, "Data/%08u.tex", first + unsigned(i));
    all = ctx.loadTexture(name, textures[i]) && all;
  }
  return all;
}

void deleteTextures(GLuint* textures, int count) {
  for (int i = 0; i < count; ++i)
    if (textures[i]) glDeleteTextures(1, &textures[i]);
}

void tintOverlay(const InstrumentContext& ctx, const FlightDataBlock& block) {
  if ((block.u32(17) & 1u) == 0) return;
  beginGroup(ctx);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_SRC_COLOR);
  glColor4f(0.87f, 0.51f, 0.51f, 0.01f);
  glBegin(GL_POLYGON);
  glVertex3f(-1.0f, -1.0f, -0.99f);
  glVertex3f(1.0f, -1.0f, -0.99f);
  glVertex3f(1.0f, 1.0f, -0.99f);
  glVertex3f(-1.0f, 1.0f, -0.99f);
  glEnd();
  glDisable(GL_BLEND);
}

}  // namespace gldraw
