// Pictures drawn only where they show must leave the frame, the depth and
// the GL state exactly as the whole quads would: over a scene that already
// holds colour and nearer and farther depths, at the slot sizes, turns and
// texture ranges the instruments use.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "instruments/gl_helpers.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

struct Frame {
  std::vector<std::uint8_t> colour;
  std::vector<float> depth;
};

Frame grab(int w, int h) {
  Frame f;
  f.colour.resize(std::size_t(w) * h * 4);
  f.depth.resize(std::size_t(w) * h);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, f.colour.data());
  glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, f.depth.data());
  return f;
}

struct State {
  GLboolean blend, texture, mask[4];
  GLint src, dst, bound;
  GLfloat colour[4];
  bool operator==(const State& o) const {
    for (int i = 0; i < 4; ++i)
      if (mask[i] != o.mask[i] || colour[i] != o.colour[i]) return false;
    return blend == o.blend && texture == o.texture && src == o.src && dst == o.dst && bound == o.bound;
  }
};

State state() {
  State s{};
  s.blend = glIsEnabled(GL_BLEND);
  s.texture = glIsEnabled(GL_TEXTURE_2D);
  glGetBooleanv(GL_COLOR_WRITEMASK, s.mask);
  glGetIntegerv(GL_BLEND_SRC, &s.src);
  glGetIntegerv(GL_BLEND_DST, &s.dst);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.bound);
  glGetFloatv(GL_CURRENT_COLOR, s.colour);
  return s;
}

void flat(float x0, float y0, float x1, float y1, float z, float r, float g, float b) {
  glColor4f(r, g, b, 1.0f);
  glBegin(GL_QUADS);
  glVertex3f(x0, y0, z);
  glVertex3f(x1, y0, z);
  glVertex3f(x1, y1, z);
  glVertex3f(x0, y1, z);
  glEnd();
}

// Colour everywhere, a band nearer than the pictures (they fail there) and
// one farther (they pass), then the state the instruments draw pictures in.
void scene(int w, int h) {
  glViewport(0, 0, w, h);
  glClearColor(0.1f, 0.2f, 0.3f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  flat(-0.7f, -1.0f, -0.4f, 1.0f, -0.95f, 0.9f, 0.1f, 0.1f);
  flat(-1.0f, 0.2f, 1.0f, 0.5f, 0.6f, 0.2f, 0.8f, 0.2f);
  glColor4f(0.3f, 0.6f, 0.9f, 0.25f);  // an alpha the black fill must keep
}

struct Case {
  const char* what;
  const char* mask;     // null: an opaque picture
  const char* picture;
  int width, height;    // the slot
  float turn;           // degrees
  float x0, y0, x1, y1, z;
  float s0, t0, s1, t1;
  bool blending = false;  // for an opaque picture: drawn with GL_ONE, GL_ONE
};

// Frames alike to the tolerance of the reference pictures (texture
// coordinates cut at tile edges round a little differently), depth exactly.
void expectSame(const Case& c, const Frame& plain, const Frame& tiled) {
  int differing = 0, largest = 0, depths = 0;
  // Alpha is left out: no screen shows it, and the mask pass multiplies it
  // by the current colour's alpha wherever it runs.
  for (std::size_t i = 0; i < plain.colour.size(); ++i) {
    if (i % 4 == 3) continue;
    const int d = std::abs(int(plain.colour[i]) - int(tiled.colour[i]));
    largest = std::max(largest, d);
    differing += d > 2;
  }
  for (std::size_t i = 0; i < plain.depth.size(); ++i) depths += plain.depth[i] != tiled.depth[i];
  EXPECT_EQ(differing, 0) << c.what << ": largest difference " << largest;
  EXPECT_EQ(depths, 0) << c.what << ": depth differs";
}

TEST(PictureQuads, DrawTheSameFrameAndDepthAsWholeQuads) {
  const Case cases[] = {
      {"engine display background", "Data/03310001.tex", "Data/03310000.tex", 550, 550, 0, -1, -1, 1, 1, -0.5f, 0, 0, 1, 1},
      {"the same on a monitor on its side", "Data/03310001.tex", "Data/03310000.tex", 275, 275, 90, -1, -1, 1, 1,
       -0.5f, 0, 0, 1, 1},
      {"and turned the other way on a wide slot", "Data/03310001.tex", "Data/03310000.tex", 333, 211, -90, -1, -1, 1, 1,
       -0.5f, 0, 0, 1, 1},
      {"turned by an odd angle: drawn whole", "Data/03310001.tex", "Data/03310000.tex", 300, 300, 33, -1, -1, 1, 1,
       -0.5f, 0, 0, 1, 1},
      {"RMI bezel at the standby size", "Data/01210006.tex", "Data/01210005.tex", 200, 200, 0, -1, -1, 1, 1, -0.4f, 0, 0,
       1, 1},
      {"RMI bezel upside down", "Data/01210006.tex", "Data/01210005.tex", 201, 199, 180, -1, -1, 1, 1, -0.4f, 0, 0, 1, 1},
      {"attitude bezel from its atlas region", "Data/01020051.tex", "Data/01020050.tex", 200, 200, 0, -1, -1, 1, 1, -0.45f,
       0.0f, 0.0f, 0.43988f, 0.5f},
      {"pitch scale shifted off centre", "Data/01020051.tex", "Data/01020050.tex", 256, 256, 0, -0.77333f, -0.2f,
       0.77333f, 0.68666f, -0.3f, 0.43988f, 0.00167f, 0.78006f, 0.22167f},
      {"a quad larger than the slot", "Data/01210006.tex", "Data/01210005.tex", 150, 150, 0, -1.4f, -1.2f, 1.3f, 1.1f,
       -0.4f, 0, 0, 1, 1},
      {"system page background", nullptr, "Data/03321004.tex", 480, 480, 0, -1, -1, 1, 1, -0.1f, 0, 0, 1, 1},
      {"system page on its side", nullptr, "Data/03321004.tex", 240, 240, -90, -1, -1, 1, 1, -0.1f, 0, 0, 1, 1},
      {"system page added with blending on", nullptr, "Data/03321004.tex", 240, 240, 0, -1, -1, 1, 1, -0.1f, 0, 0, 1, 1,
       true},
      {"RMI card, turned by the heading", nullptr, "Data/01210000.tex", 200, 200, 47, -0.82f, -0.82f, 0.82f, 0.82f, -0.1f,
       0, 0, 1, 1},
      {"clock face", nullptr, "Data/01240000.tex", 200, 200, 0, -1, -1, 1, 1, -0.9f, 0, 0, 1, 1},
  };
  RecordingSink sink;
  OffscreenWindow ow(550, 550);
  InstrumentWindow& w = *ow.window;
  for (const Case& c : cases) {
    GLuint mask = 0, picture = 0;
    if (c.mask) {
      ASSERT_TRUE(w.loadTexture(c.mask, mask)) << c.mask;
    }
    ASSERT_TRUE(w.loadTexture(c.picture, picture)) << c.picture;
    auto draw = [&](bool tiled) {
      scene(c.width, c.height);
      glRotatef(c.turn, 0.0f, 0.0f, 1.0f);
      glEnable(GL_TEXTURE_2D);
      if (c.blending) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
      }
      if (c.mask && tiled)
        gldraw::maskedQuad(w, mask, picture, c.x0, c.y0, c.x1, c.y1, c.z, c.s0, c.t0, c.s1, c.t1);
      else if (c.mask)
        gldraw::maskedQuad(mask, picture, c.x0, c.y0, c.x1, c.y1, c.z, c.s0, c.t0, c.s1, c.t1);
      else if (tiled)
        gldraw::pictureQuad(w, picture, c.x0, c.y0, c.x1, c.y1, c.z, c.s0, c.t0, c.s1, c.t1);
      else {
        glBindTexture(GL_TEXTURE_2D, picture);
        gldraw::texturedQuad(c.x0, c.y0, c.x1, c.y1, c.z, c.s0, c.t0, c.s1, c.t1);
      }
    };
    draw(false);
    const State plainState = state();
    const Frame plain = grab(c.width, c.height);
    draw(true);
    const State tiledState = state();
    const Frame tiled = grab(c.width, c.height);
    expectSame(c, plain, tiled);
    EXPECT_TRUE(plainState == tiledState) << c.what << ": GL state left differently";
    glBindTexture(GL_TEXTURE_2D, 0);
    if (mask) glDeleteTextures(1, &mask);
    glDeleteTextures(1, &picture);
  }
  EXPECT_TRUE(sink.messages.empty());
}

// A picture without a map (none loaded, or a texture range that wraps)
// falls back to the whole quad rather than guessing.
TEST(PictureQuads, UnknownTexturesAndWrappingRangesDrawTheWholeQuad) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  GLuint face = 0;
  ASSERT_TRUE(w.loadTexture("Data/01240000.tex", face));
  GLuint bare = 0;
  glGenTextures(1, &bare);
  glBindTexture(GL_TEXTURE_2D, bare);
  const std::uint8_t white[3] = {255, 255, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, 3, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  const struct {
    const char* what;
    GLuint texture;
    float t0, t1;
  } cases[] = {{"a texture the window did not load", bare, 0, 1}, {"a range past the texture's edge", face, -0.3f, 0.8f}};
  for (const auto& c : cases) {
    auto draw = [&](bool tiled) {
      scene(64, 64);
      glEnable(GL_TEXTURE_2D);
      if (tiled) {
        gldraw::pictureQuad(w, c.texture, -1, -1, 1, 1, -0.5f, 0, c.t0, 1, c.t1);
      } else {
        glBindTexture(GL_TEXTURE_2D, c.texture);
        gldraw::texturedQuad(-1, -1, 1, 1, -0.5f, 0, c.t0, 1, c.t1);
      }
      return grab(64, 64);
    };
    const Frame plain = draw(false), tiled = draw(true);
    EXPECT_EQ(plain.colour, tiled.colour) << c.what;
    EXPECT_EQ(plain.depth, tiled.depth) << c.what;
  }
  glDeleteTextures(1, &bare);
  glDeleteTextures(1, &face);
}

}  // namespace
