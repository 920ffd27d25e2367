// Text gathered into few draws must look, and leave the depth, exactly as
// glyph after glyph drawn whole, each through its mask and then its colour.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "ecam/draw/primitives.h"
#include "instruments/gl_helpers.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

constexpr int kSize = 300;

// Each glyph with the model-view matrix it was given under.
struct Recorded {
  GlyphQuad quad;
  std::array<GLfloat, 16> matrix;
};
std::vector<Recorded> g_quads;
void record(const GlyphQuad& q) {
  Recorded r{q, {}};
  glGetFloatv(GL_MODELVIEW_MATRIX, r.matrix.data());
  g_quads.push_back(r);
}

struct Frame {
  std::vector<std::uint8_t> colour;
  std::vector<float> depth;
};

Frame grab() {
  Frame f;
  f.colour.resize(std::size_t(kSize) * kSize * 4);
  f.depth.resize(std::size_t(kSize) * kSize);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, f.colour.data());
  glReadPixels(0, 0, kSize, kSize, GL_DEPTH_COMPONENT, GL_FLOAT, f.depth.data());
  return f;
}

// A frame with colour in it and a band of nearer depth across the middle.
void scene() {
  glViewport(0, 0, kSize, kSize);
  glClearColor(0.05f, 0.1f, 0.2f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glColor3f(0.6f, 0.3f, 0.1f);
  glBegin(GL_QUADS);
  glVertex3f(-1.0f, -0.05f, -0.7f);
  glVertex3f(1.0f, -0.05f, -0.7f);
  glVertex3f(1.0f, 0.05f, -0.7f);
  glVertex3f(-1.0f, 0.05f, -0.7f);
  glEnd();
}

// Each recorded glyph as the primitives used to draw it: its own two passes.
void glyphByGlyph(const std::vector<Recorded>& glyphs) {
  for (const Recorded& r : glyphs) {
    const GlyphQuad& q = r.quad;
    glLoadMatrixf(r.matrix.data());
    glEnable(GL_TEXTURE_2D);
    gldraw::maskedShape(q.maskTexture, q.colourTexture, [&] {
      glBegin(GL_QUADS);
      glNormal3d(0.0, 0.0, 1.0);
      for (int i = 0; i < 4; ++i) {
        glTexCoord2d(q.s[i], q.t[i]);
        glVertex3d(q.x[i], q.y[i], q.z);
      }
      glEnd();
    });
    glDisable(GL_TEXTURE_2D);
  }
  glLoadIdentity();
}

struct Case {
  const char* what;
  bool batch;  // all texts gathered in one GlyphBatch
  std::function<void(const FontSet&)> texts;
};

TEST(GlyphBatch, DrawsWhatGlyphAfterGlyphDraws) {
  RecordingSink sink;
  OffscreenWindow ow(kSize, kSize);
  InstrumentWindow& w = *ow.window;
  std::array<GLuint, kEcamTextureSlots> slots{};
  const struct {
    int slot;
    const char* file;
  } files[] = {{10, "Data/99990020.tex"}, {11, "Data/99990021.tex"}, {12, "Data/99990022.tex"},
               {13, "Data/99990023.tex"}, {14, "Data/99990024.tex"}, {15, "Data/99990025.tex"},
               {16, "Data/99990026.tex"}, {18, "Data/99990028.tex"}, {19, "Data/99990032.tex"},
               {20, "Data/99990033.tex"}};
  for (const auto& f : files) ASSERT_TRUE(w.loadTexture(f.file, slots[std::size_t(f.slot)])) << f.file;
  const FontSet font{slots.data(), &w};

  const Case cases[] = {
      {"one text of letters, digits and narrow signs", false,
       [](const FontSet& f) { DrawText(f, "N1 %: 103.7 I/O WHEEL,", 2, 1.2f, -0.95f, 0.6f, -0.8f); }},
      {"numbers packed tighter than text", false,
       [](const FontSet& f) {
         DrawNumber(f, 88888, 5, 1, 1, 6, 1.5f, -0.9f, 0.3f, -0.8f);
         DrawDecimal(f, -12.75f, 3, 2, 0, 1, 4, 1.5f, -0.2f, 0.3f, -0.8f);
       }},
      {"a screen of text in one batch, overlapping lines at two depths", true,
       [](const FontSet& f) {
         DrawText(f, "ALL TANKS EMPTY", 6, 1.0f, -0.9f, 0.0f, -0.55f);
         DrawText(f, "ENGINE 1 OFF", 4, 1.0f, -0.85f, 0.02f, -0.8f);
         DrawNumber(f, 1234, 4, 0, 1, 2, 1.0f, -0.5f, -0.01f, -0.8f);
         DrawText(f, "MMWW##$$", 0, 2.0f, -0.6f, -0.5f, -0.55f);
         DrawChar(f, "X", 9, 2.0f, -0.52f, -0.49f, -0.55f);
         DrawDigit(f, 8, 7, 2.0f, -0.49f, -0.5f, -0.55f);
       }},
      {"texts under different turns within one batch", true,
       [](const FontSet& f) {
         DrawText(f, "CRUISE", 0, 1.0f, -0.5f, 0.5f, -0.2f);
         glLoadIdentity();
         glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
         DrawText(f, "F/CTL 12.5", 2, 1.0f, -0.5f, 0.5f, -0.2f);
         glLoadIdentity();
         glRotatef(-15.0f, 0.0f, 0.0f, 1.0f);
         DrawDecimal(f, 3.25f, 1, 2, 1, 1, 2, 1.3f, -0.3f, -0.6f, -0.2f);
         glLoadIdentity();
       }},
      {"a long text runs past one run's glyphs", true,
       [](const FontSet& f) {
         for (int line = 0; line < 6; ++line)
           DrawText(f, "SPOILERS..........ARMED 0123456789", line % 7, 0.7f, -1.0f, 0.8f - 0.1f * line, -0.55f);
       }},
  };
  for (const Case& c : cases) {
    // What the texts draw, glyph by glyph.
    g_quads.clear();
    scene();
    SetGlyphQuadHook(&record);
    c.texts(FontSet{slots.data()});
    SetGlyphQuadHook(nullptr);
    ASSERT_FALSE(g_quads.empty()) << c.what;
    scene();
    glyphByGlyph(g_quads);
    const Frame want = grab();

    scene();
    if (c.batch) {
      GlyphBatch batch(font);
      c.texts(font);
    } else {
      c.texts(font);
    }
    const Frame got = grab();
    int differing = 0, largest = 0, depths = 0;
    for (std::size_t i = 0; i < want.colour.size(); ++i) {
      if (i % 4 == 3) continue;  // no screen shows alpha
      const int d = std::abs(int(want.colour[i]) - int(got.colour[i]));
      largest = std::max(largest, d);
      differing += d > 2;
    }
    for (std::size_t i = 0; i < want.depth.size(); ++i) depths += want.depth[i] != got.depth[i];
    EXPECT_EQ(differing, 0) << c.what << ": largest difference " << largest;
    EXPECT_EQ(depths, 0) << c.what;
    // Something was drawn at all: the texts are lit.
    int lit = 0;
    for (std::size_t i = 0; i < got.colour.size(); i += 4) lit += got.colour[i] > 150 || got.colour[i + 1] > 150;
    EXPECT_GT(lit, 50) << c.what;
  }
}

}  // namespace
