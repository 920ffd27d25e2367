#pragma once
#include <GL/gl.h>

#include "instruments/instrument.h"

// Drawing helpers shared by every instrument. All coordinates are the
// instrument's normalised square, -1 to 1.
namespace gldraw {

// Sets the viewport and front face for a slot; false when the slot is hidden.
bool beginInstrument(const Placement& p);

// Identity model-view rotated by the window's rotation angle about z.
void beginGroup(const InstrumentContext& ctx);

// One textured quad: corners lower left, lower right, upper right, upper left.
void texturedQuad(float x0, float y0, float x1, float y1, float z, float s0, float t0, float s1, float t1);

// A picture cut in through its mask: the mask multiplied into the frame, then
// the picture added into the hole it leaves, both passes over the shape that
// `shape()` issues. Texturing must be on; blending is off afterwards and the
// picture stays bound.
template <class Shape>
void maskedShape(GLuint mask, GLuint picture, Shape&& shape) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, mask);
  shape();
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, picture);
  shape();
  glDisable(GL_BLEND);
}

// maskedShape over one texturedQuad.
void maskedQuad(GLuint mask, GLuint picture, float x0, float y0, float x1, float y1, float z, float s0 = 0.0f,
                float t0 = 0.0f, float s1 = 1.0f, float t1 = 1.0f);

// The same frame, colour and depth, as the plain quads above, drawn only
// where the textures have something to show: a masked picture's tiles that
// keep the frame as it is only write their depth, tiles where the mask is
// black are drawn in one pass without blending, and an opaque picture's
// black tiles are filled flat black instead of being sampled. Without
// knowledge of the textures (none loaded, a texture range outside 0 to 1)
// they draw the plain quads.
//
// pictureQuad binds the texture itself (texturing must be on) and leaves it
// bound with the current colour as it was.
void pictureQuad(const InstrumentContext& ctx, GLuint texture, float x0, float y0, float x1, float y1, float z,
                 float s0 = 0.0f, float t0 = 0.0f, float s1 = 1.0f, float t1 = 1.0f);
// As maskedQuad: texturing must be on; blending is off afterwards with the
// function (GL_ONE, GL_ONE) and the picture stays bound.
void maskedQuad(const InstrumentContext& ctx, GLuint mask, GLuint picture, float x0, float y0, float x1, float y1,
                float z, float s0 = 0.0f, float t0 = 0.0f, float s1 = 1.0f, float t1 = 1.0f);

// Loads textures[i] from Data/NNNNNNNN.tex, NNNNNNNN being first + i in eight
// digits; every slot is tried even after one fails, a failed one stays 0.
bool loadNumberedTextures(InstrumentContext& ctx, unsigned first, GLuint* textures, int count);

// Deletes the texture names that were made; 0 entries are skipped.
void deleteTextures(GLuint* textures, int count);

// The darkening red wash that a standby instrument draws last when the tint
// bit (bit 0 of word 17) is set.
void tintOverlay(const InstrumentContext& ctx, const FlightDataBlock& block);

}  // namespace gldraw
