#include "ecam/draw/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/offscreen.h"

namespace {

// Texture names are slot + 100, so a name tells which slot was bound.
constexpr GLuint kNameBase = 100;
GLuint g_names[kEcamTextureSlots];
const FontSet& fakeFont() {
  static const FontSet font = [] {
    for (int i = 0; i < kEcamTextureSlots; ++i) g_names[i] = kNameBase + GLuint(i);
    return FontSet{g_names};
  }();
  return font;
}

std::vector<GlyphQuad> g_quads;
void record(const GlyphQuad& q) { g_quads.push_back(q); }

// Collects the quads of whatever runs while it lives.
struct Recorder {
  Recorder() {
    g_quads.clear();
    SetGlyphQuadHook(&record);
  }
  ~Recorder() { SetGlyphQuadHook(nullptr); }
};

constexpr float kX = 0.1f, kY = 0.2f, kZ = -0.8f, kSize = 1.0f;
const double kA = 0.055;      // advance at size 1
const double kStep = 0.04424;  // number step at size 1

// What one glyph should look like: the slots bound and the cell's corner.
struct Glyph {
  int maskSlot;
  int colourSlot;
  double s0, t0;
  double x;
};
// Letter cell by the table of the letter atlas, colour slot given.
Glyph letter(double s0, double t0, double x, int colourSlot = 12) { return {18, colourSlot, s0, t0, x}; }
Glyph digit(int d, double x, int column = 2) { return {20, 19, column * 0.125, d * 0.1, x}; }

void expectGlyphs(const std::vector<Glyph>& want, const std::string& name) {
  ASSERT_EQ(g_quads.size(), want.size()) << name;
  for (std::size_t i = 0; i < want.size(); ++i) {
    const GlyphQuad& q = g_quads[i];
    const Glyph& w = want[i];
    SCOPED_TRACE(name + ", glyph " + std::to_string(i));
    EXPECT_EQ(q.maskTexture, kNameBase + GLuint(w.maskSlot));
    EXPECT_EQ(q.colourTexture, kNameBase + GLuint(w.colourSlot));
    EXPECT_NEAR(q.s[0], w.s0, 1e-6);
    EXPECT_NEAR(q.t[0], w.t0, 1e-6);
    EXPECT_NEAR(q.x[0], w.x, 1e-6);
    EXPECT_DOUBLE_EQ(q.y[0], double(kY));
    EXPECT_DOUBLE_EQ(q.z, double(kZ));
  }
}

struct Case {
  std::string name;
  std::function<void()> draw;
  std::vector<Glyph> glyphs;
};

const FontSet& F() { return fakeFont(); }

TEST(Primitives, EdgeCasesOfTheLayout) {
  const double x = kX;
  const std::vector<Case> cases = {
      {"%3d. of 85", [] { DrawText(F(), " 85.", 2, kSize, kX, kY, kZ); },
       {digit(8, x + kA), digit(5, x + 2 * kA), letter(0.5, 0.6, x + 3 * kA - 0.25 * kA)}},
      {"I shifts left a quarter and takes half an advance", [] { DrawText(F(), "IA", 2, kSize, kX, kY, kZ); },
       {letter(0.0, 0.8, x - 0.25 * kA), letter(0.0, 0.0, x + 0.5 * kA)}},
      {"0 in 5 fixed positions", [] { DrawNumber(F(), 0, 5, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(0, x + 4 * kStep)}},
      {"12345 in 3 positions", [] { DrawNumber(F(), 12345, 3, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(3, x), digit(4, x + kStep), digit(5, x + 2 * kStep)}},
      {"7 with leading zeros", [] { DrawNumber(F(), 7, 3, 1, 1, 2, kSize, kX, kY, kZ); },
       {digit(0, x), digit(0, x + kStep), digit(7, x + 2 * kStep)}},
      {"7 packed", [] { DrawNumber(F(), 7, 3, 0, 0, 2, kSize, kX, kY, kZ); }, {digit(7, x)}},
      {"42 right aligned, blank cell left", [] { DrawNumber(F(), 42, 3, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(4, x + kStep), digit(2, x + 2 * kStep)}},
      {"1000.0 with 2 integer digits", [] { DrawDecimal(F(), 1000.0f, 2, 1, 0, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"999.9 with 2 integer digits", [] { DrawDecimal(F(), 999.9f, 2, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(9, x), digit(9, x + kStep), letter(0.5, 0.6, x + 1.8 * kStep),
        digit(9, x + (2 + 0.6666667) * kStep)}},
      {"2.25 with 2 decimals", [] { DrawDecimal(F(), 2.25f, 1, 2, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(2, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(2, x + 1.6666667 * kStep),
        digit(5, x + 2.6666667 * kStep)}},
      {"2.96 truncates to 2.9", [] { DrawDecimal(F(), 2.96f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(2, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(9, x + 1.6666667 * kStep)}},
      {"0.5 shows the zero of its integer part", [] { DrawDecimal(F(), 0.5f, 2, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(0, x + kStep), letter(0.5, 0.6, x + 1.8 * kStep), digit(5, x + 2.6666667 * kStep)}},
      {"0 without decimals is a single 0", [] { DrawDecimal(F(), 0.4f, 4, 0, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(0, x + 3 * kStep)}},
      {"2.3f lies just below 2.3 and shows 2.3", [] { DrawDecimal(F(), 2.3f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(2, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(3, x + 1.6666667 * kStep)}},
      {"2.9999998f carries into the integer part",
       [] { DrawDecimal(F(), 2.9999998f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(3, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(0, x + 1.6666667 * kStep)}},
      {"2.2999 is not rounded up", [] { DrawDecimal(F(), 2.2999f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(2, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(2, x + 1.6666667 * kStep)}},
      {"3.0625 keeps the fraction's leading zero",
       [] { DrawDecimal(F(), 3.0625f, 1, 2, 0, 1, 2, kSize, kX, kY, kZ); },
       {digit(3, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(0, x + 1.6666667 * kStep),
        digit(6, x + 2.6666667 * kStep)}},
      {"letter colour 9 uses colour 6", [] { DrawText(F(), "A", 9, kSize, kX, kY, kZ); },
       {letter(0.0, 0.0, x, 16)}},
      {"letter colour 0 and 6", [] { DrawText(F(), "B", 0, kSize, kX, kY, kZ); DrawText(F(), "B", 6, kSize, kX, kY, kZ); },
       {letter(0.0, 0.1, x, 10), letter(0.0, 0.1, x, 16)}},
      {"digit colour 9 uses column 7", [] { DrawDigit(F(), 3, 9, kSize, kX, kY, kZ); }, {digit(3, x, 7)}},
      {"digit colour 7 and 6", [] { DrawDigit(F(), 3, 7, kSize, kX, kY, kZ); DrawDigit(F(), 3, 6, kSize, kX, kY, kZ); },
       {digit(3, x, 7), digit(3, x, 6)}},
      {"lower case is blank with normal advances", [] { DrawText(F(), "ab", 2, kSize, kX, kY, kZ); },
       {letter(0.75, 0.0, x), letter(0.75, 0.0, x + kA)}},
      {"empty text", [] { DrawText(F(), "", 2, kSize, kX, kY, kZ); }, {}},
  };
  for (const Case& c : cases) {
    Recorder r;
    c.draw();
    expectGlyphs(c.glyphs, c.name);
  }

  struct Rounding {
    float in;
    std::int64_t out;
  };
  for (const Rounding& c : {Rounding{2.5f, 3}, Rounding{-2.5f, -3}, Rounding{0.49f, 0}, Rounding{0.0f, 0},
                            Rounding{-0.49f, 0}, Rounding{0.49999997f, 0}, Rounding{1.5f, 2}, Rounding{-1.5f, -2}})
    EXPECT_EQ(RoundNearest(c.in), c.out) << c.in;
}

TEST(Primitives, LetterAtlasCells) {
  struct Cell {
    char c;
    double s0, t0;
  };
  const Cell cells[] = {{'A', 0.0, 0.0},  {'J', 0.0, 0.9},  {'K', 0.25, 0.0}, {'T', 0.25, 0.9}, {'U', 0.5, 0.0},
                        {'Z', 0.5, 0.5},  {'.', 0.5, 0.6},  {',', 0.5, 0.7},  {'-', 0.5, 0.8},  {':', 0.5, 0.9},
                        {' ', 0.75, 0.0}, {'+', 0.75, 0.1}, {'=', 0.75, 0.2}, {'/', 0.75, 0.3}, {';', 0.75, 0.4},
                        {char(0xB0), 0.75, 0.5}, {'$', 0.75, 0.6}, {'%', 0.75, 0.7}, {'#', 0.75, 0.8},
                        {'\\', 0.75, 0.9}, {'q', 0.75, 0.0}, {'!', 0.75, 0.0}, {'\x7f', 0.75, 0.0}};
  for (const Cell& c : cells) {
    Recorder r;
    DrawChar(F(), &c.c, 3, kSize, kX, kY, kZ);
    ASSERT_EQ(g_quads.size(), 1u);
    const GlyphQuad& q = g_quads[0];
    EXPECT_EQ(q.s[0], c.s0) << int(c.c);
    EXPECT_NEAR(q.t[0], c.t0, 1e-7) << int(c.c);
    EXPECT_EQ(q.colourTexture, kNameBase + 13);
  }
}

TEST(Primitives, QuadGeometryAndPrecision) {
  Recorder r;
  const float size = 2.5f, x = -0.3f, y = 0.4f, z = -0.55f;
  DrawChar(F(), "H", 1, size, x, y, z);
  DrawDigit(F(), 7, 4, size, x, y, z);
  ASSERT_EQ(g_quads.size(), 2u);
  for (const GlyphQuad& q : g_quads) {
    const double w = 0.06061 * double(size), h = 0.075 * double(size);
    const double xs[4] = {double(x), double(x) + w, double(x) + w, double(x)};
    const double ys[4] = {double(y), double(y), double(y) + h, double(y) + h};
    for (int i = 0; i < 4; ++i) {
      EXPECT_DOUBLE_EQ(q.x[i], xs[i]) << i;
      EXPECT_DOUBLE_EQ(q.y[i], ys[i]) << i;
    }
    EXPECT_DOUBLE_EQ(q.z, double(z));
    EXPECT_EQ(q.s[0], q.s[3]);
    EXPECT_EQ(q.s[1], q.s[2]);
    EXPECT_EQ(q.t[0], q.t[1]);
    EXPECT_EQ(q.t[2], q.t[3]);
  }
  // Letter rows are a float product; digit rows and edges are double.
  const GlyphQuad& h = g_quads[0];
  EXPECT_EQ(h.t[0], double(7.0f * 0.1f));
  EXPECT_NE(h.t[0], 7 * 0.1);
  EXPECT_DOUBLE_EQ(h.t[2] - h.t[0], 0.1);
  EXPECT_EQ(h.s[1] - h.s[0], 0.25);
  EXPECT_EQ(h.maskTexture, kNameBase + 18);
  EXPECT_EQ(h.colourTexture, kNameBase + 11);
  const GlyphQuad& d = g_quads[1];
  EXPECT_EQ(d.t[0], 7 * 0.1);
  EXPECT_EQ(d.t[2], 8 * 0.1);
  EXPECT_EQ(d.s[0], 0.5);
  EXPECT_EQ(d.s[1], 0.625);
  EXPECT_EQ(d.maskTexture, kNameBase + 20);
  EXPECT_EQ(d.colourTexture, kNameBase + 19);
}

// Cell index and digit of each digit quad, for the long results below.
std::string digitsOf(const std::vector<GlyphQuad>& quads) {
  std::string s;
  for (const GlyphQuad& q : quads) {
    if (q.maskTexture == kNameBase + 20)
      s += char('0' + int(std::lround(q.t[0] * 10)));
    else if (q.s[0] == 0.5 && std::lround(q.t[0] * 10) == 8)
      s += '-';
    else if (q.s[0] == 0.5 && std::lround(q.t[0] * 10) == 6)
      s += '.';
    else
      s += '?';
  }
  return s;
}

TEST(Primitives, NegativeNanAndHugeValues) {
  const double x = kX;
  const Glyph minusAt = letter(0.5, 0.8, 0);
  auto minus = [&](double at) {
    Glyph g = minusAt;
    g.x = at;
    return g;
  };
  const std::vector<Case> cases = {
      {"-7 fixed takes the cell before the digit", [] { DrawNumber(F(), -7, 3, 0, 1, 2, kSize, kX, kY, kZ); },
       {minus(x + kStep), digit(7, x + 2 * kStep)}},
      {"-7 with leading zeros", [] { DrawNumber(F(), -7, 3, 1, 1, 2, kSize, kX, kY, kZ); },
       {minus(x), digit(0, x + kStep), digit(7, x + 2 * kStep)}},
      {"-7 packed", [] { DrawNumber(F(), -7, 3, 0, 0, 2, kSize, kX, kY, kZ); },
       {minus(x), digit(7, x + kStep)}},
      {"-123 has no room for a minus: nothing", [] { DrawNumber(F(), -123, 3, 0, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"-5 in one position: nothing", [] { DrawNumber(F(), -5, 1, 1, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"no positions", [] {
         DrawNumber(F(), 5, 0, 1, 1, 2, kSize, kX, kY, kZ);
         DrawNumber(F(), 5, -3, 1, 1, 2, kSize, kX, kY, kZ);
         DrawNumber(F(), 5, INT_MIN, 1, 1, 2, kSize, kX, kY, kZ);
         DrawNumber(F(), INT_MIN, INT_MIN, 0, 0, 2, kSize, kX, kY, kZ);
       }, {}},
      {"-1.5 in two integer cells", [] { DrawDecimal(F(), -1.5f, 2, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {minus(x), digit(1, x + kStep), letter(0.5, 0.6, x + 1.8 * kStep), digit(5, x + 2.6666667 * kStep)}},
      {"-0.5 puts the minus before the zero", [] { DrawDecimal(F(), -0.5f, 2, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {minus(x), digit(0, x + kStep), letter(0.5, 0.6, x + 1.8 * kStep), digit(5, x + 2.6666667 * kStep)}},
      {"-0.5 in one integer cell: nothing", [] { DrawDecimal(F(), -0.5f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"-1.5 in one integer cell: nothing", [] { DrawDecimal(F(), -1.5f, 1, 1, 0, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"-0.04 shows an unsigned zero", [] { DrawDecimal(F(), -0.04f, 1, 1, 1, 1, 2, kSize, kX, kY, kZ); },
       {digit(0, x), letter(0.5, 0.6, x + 0.8 * kStep), digit(0, x + 1.6666667 * kStep)}},
      {"-0.5 without integer cells: nothing", [] { DrawDecimal(F(), -0.5f, 0, 1, 0, 1, 2, kSize, kX, kY, kZ); }, {}},
      {"0.5 without integer cells: point and decimal",
       [] { DrawDecimal(F(), 0.5f, 0, 1, 0, 1, 2, kSize, kX, kY, kZ); },
       {letter(0.5, 0.6, x - 0.2 * kStep), digit(5, x + 0.6666667 * kStep)}},
      {"NaN and infinities draw nothing", [] {
         DrawDecimal(F(), NAN, 3, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), -NAN, 3, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), INFINITY, 3, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), -INFINITY, 3, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), INFINITY, INT_MAX, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), 3e38f, 30, 1, 1, 1, 2, kSize, kX, kY, kZ);
         DrawDecimal(F(), -3e38f, 2, 1, 1, 1, 2, kSize, kX, kY, kZ);
       }, {}},
      {"digits outside 0 to 9 are clamped", [] {
         DrawDigit(F(), -5, 2, kSize, kX, kY, kZ);
         DrawDigit(F(), 42, 2, kSize, kX, kY, kZ);
         DrawDigit(F(), INT_MIN, 2, kSize, kX, kY, kZ);
         DrawDigit(F(), INT_MAX, 2, kSize, kX, kY, kZ);
       }, {digit(0, x), digit(9, x), digit(0, x), digit(9, x)}},
      {"negative colours", [] {
         DrawDigit(F(), 4, -1, kSize, kX, kY, kZ);
         DrawDigit(F(), 4, INT_MIN, kSize, kX, kY, kZ);
         DrawText(F(), "C", -1, kSize, kX, kY, kZ);
         DrawText(F(), "C", INT_MIN, kSize, kX, kY, kZ);
       }, {digit(4, x, 7), digit(4, x, 7), letter(0.0, 0.2, x, 16), letter(0.0, 0.2, x, 16)}},
      {"null pointers", [] {
         DrawChar(F(), nullptr, 2, kSize, kX, kY, kZ);
         DrawText(F(), nullptr, 2, kSize, kX, kY, kZ);
       }, {}},
  };
  for (const Case& c : cases) {
    Recorder r;
    c.draw();
    expectGlyphs(c.glyphs, c.name);
  }

  struct Long {
    std::function<void()> draw;
    const char* shown;
  };
  const Long longs[] = {
      {[] { DrawNumber(F(), INT_MIN, 11, 0, 1, 2, kSize, kX, kY, kZ); }, "-2147483648"},
      {[] { DrawNumber(F(), INT_MIN, 10, 0, 1, 2, kSize, kX, kY, kZ); }, ""},
      {[] { DrawNumber(F(), INT_MIN, 14, 1, 1, 2, kSize, kX, kY, kZ); }, "-0002147483648"},
      {[] { DrawNumber(F(), INT_MAX, 3, 0, 1, 2, kSize, kX, kY, kZ); }, "647"},
      {[] { DrawNumber(F(), INT_MAX, 25, 1, 1, 2, kSize, kX, kY, kZ); }, "0000000000000002147483647"},
      {[] { DrawNumber(F(), 5, 12, 1, 0, 2, kSize, kX, kY, kZ); }, "000000000005"},
      // Past the int32 range the integer part saturates.
      {[] { DrawDecimal(F(), 1e12f, 20, 0, 0, 1, 2, kSize, kX, kY, kZ); }, "2147483647"},
      {[] { DrawDecimal(F(), 1.5f, 1, 12, 0, 1, 2, kSize, kX, kY, kZ); }, "1.002147483647"},
      {[] { DrawDecimal(F(), -123.25f, 4, 2, 0, 1, 2, kSize, kX, kY, kZ); }, "-123.25"},
  };
  for (const Long& l : longs) {
    Recorder r;
    l.draw();
    EXPECT_EQ(digitsOf(g_quads), l.shown);
    for (const GlyphQuad& q : g_quads) {
      EXPECT_GE(q.s[0], 0.0);
      EXPECT_LE(q.s[1], 1.0);
      EXPECT_GE(q.t[0], 0.0);
      EXPECT_LE(q.t[2], 1.0 + 1e-9);
    }
  }

  struct Rounding {
    float in;
    std::int64_t out;
  };
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (const Rounding& c :
       {Rounding{NAN, 0}, Rounding{-NAN, 0}, Rounding{INFINITY, kMax}, Rounding{-INFINITY, kMin},
        Rounding{1e30f, kMax}, Rounding{-1e30f, kMin}, Rounding{9223372036854775808.0f, kMax},
        Rounding{-9223372036854775808.0f, kMin}, Rounding{4611686018427387904.0f, 4611686018427387904LL},
        Rounding{-3e9f, -3000000000LL}, Rounding{16777215.0f, 16777215}, Rounding{-0.5f, -1}})
    EXPECT_EQ(RoundNearest(c.in), c.out) << c.in;
}

// What a glyph leaves behind: blending and texturing off for whatever the
// instrument draws next.
TEST(Primitives, LeavesBlendingAndTexturingOff) {
  testing_support::OffscreenWindow ow(16, 16);
  GLuint slots[kEcamTextureSlots] = {};
  DrawText(FontSet{slots}, "H", 1, 1.0f, 0.0f, 0.0f, 0.0f);
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_ONE);
  EXPECT_EQ(dst, GL_ONE);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
