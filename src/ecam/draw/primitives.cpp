#include "ecam/draw/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "ecam/draw/font_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

// Negative values: a number keeps its magnitude's layout and takes a '-'
// in the cell just left of its first digit (the first cell when leading
// zeros are on). When that cell does not exist among the positions, nothing
// is drawn: a number without its sign would be a wrong reading. A decimal
// that would show only zeros drops its sign, and a NaN decimal draws nothing.

namespace {

GlyphQuadHook g_hook = nullptr;

// The glyphs of one text, number or decimal (or of a whole batch), drawn
// pass by pass instead of glyph by glyph: every mask, then every colour
// picture, each pass one draw per texture. Multiplying by the masks and
// adding the colours each commute among themselves, so the order only
// matters where one glyph's mask darkens what another's colour lit; such
// glyphs go into layers drawn one after the other. The masks are drawn
// over their whole cells, which leaves the depth as one glyph after the
// other would; the colours only over the tiles they light.
class GlyphRun {
 public:
  GlyphRun() = default;
  explicit GlyphRun(const FontSet& font) : font_(font) {}
  ~GlyphRun() { flush(); }
  GlyphRun(const GlyphRun&) = delete;
  GlyphRun& operator=(const GlyphRun&) = delete;

  void add(GLuint mask, GLuint colour, double s0, double t0, double s1, double t1, float size, float x, float y,
           float z);
  void flush();
  const FontSet& font() const { return font_; }
  // A batch's run spans several texts, between which the caller may turn
  // the model-view matrix: each is drawn under the matrix it came with.
  void startBatch(const FontSet& font) {
    font_ = font;
    tracksMatrix_ = true;
  }
  void endBatch() {
    flush();
    tracksMatrix_ = false;
  }

 private:
  struct Box {
    double x0, y0, x1, y1, s0, t0, s1, t1;
    bool empty;
  };
  struct Glyph {
    GLuint mask, colour;
    double z;
    Box cell, maskInk, colourInk;
    int layer;
  };
  // The part of the cell over tiles that are not `blank`; the whole cell
  // when the picture is not known.
  Box ink(const Box& cell, GLuint texture, bool blankIsWhite) const;
  void draw();
  static void quad(const Box& b, double z, bool textured);

  static constexpr int kMaxGlyphs = 64;
  static constexpr int kMaxLayers = 4;
  FontSet font_{nullptr};
  Glyph glyphs_[kMaxGlyphs];
  int count_ = 0;
  bool tracksMatrix_ = false;
  GLfloat matrix_[16] = {};
};

void GlyphRun::add(GLuint mask, GLuint colour, double s0, double t0, double s1, double t1, float size, float x,
                   float y, float z) {
  GlyphQuad q;
  q.maskTexture = mask;
  q.colourTexture = colour;
  const double x0 = x, y0 = y;
  const double x1 = x0 + fontgeo::kGlyphWidth * double(size);
  const double y1 = y0 + fontgeo::kGlyphHeight * double(size);
  const double xs[4] = {x0, x1, x1, x0};
  const double ys[4] = {y0, y0, y1, y1};
  const double ss[4] = {s0, s1, s1, s0};
  const double ts[4] = {t0, t0, t1, t1};
  for (int i = 0; i < 4; ++i) {
    q.x[i] = xs[i];
    q.y[i] = ys[i];
    q.s[i] = ss[i];
    q.t[i] = ts[i];
  }
  q.z = z;
  if (g_hook) {
    g_hook(q);
    return;
  }
  if (tracksMatrix_) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    if (count_ > 0 && std::memcmp(m, matrix_, sizeof m) != 0) flush();
    std::memcpy(matrix_, m, sizeof m);
  }
  Glyph g;
  g.mask = mask;
  g.colour = colour;
  g.z = z;
  g.cell = {x0, y0, x1, y1, s0, t0, s1, t1, false};
  g.maskInk = ink(g.cell, mask, true);
  g.colourInk = ink(g.cell, colour, false);
  auto meet = [](const Box& a, const Box& b) {
    return !a.empty && !b.empty && a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
  };
  // A glyph whose passes would meet an earlier glyph's goes into a later
  // layer, drawn after that glyph's: its mask over the other's colour, the
  // other's mask over its colour, or, at another depth, its cell over the
  // other's (the first pass there would hide what the other has yet to draw).
  int layer = 0;
  for (int i = 0; i < count_; ++i) {
    const Glyph& o = glyphs_[i];
    if (meet(g.maskInk, o.colourInk) || meet(o.maskInk, g.colourInk) || (g.z != o.z && meet(g.cell, o.cell)))
      layer = std::max(layer, o.layer + 1);
  }
  if (count_ == kMaxGlyphs || layer == kMaxLayers) {
    flush();
    layer = 0;
  }
  g.layer = layer;
  glyphs_[count_++] = g;
}

GlyphRun::Box GlyphRun::ink(const Box& b, GLuint texture, bool blankIsWhite) const {
  const TextureCoverage* t = font_.ctx && texture ? font_.ctx->textureCoverage(texture) : nullptr;
  if (!t || !t->known() || !(b.s0 >= 0.0 && b.s1 <= 1.0 && b.t0 >= 0.0 && b.t1 <= 1.0)) return b;
  const int c0 = std::max(0, int(std::floor(b.s0 / t->tileS())));
  const int c1 = std::min(t->columns() - 1, int(std::ceil(b.s1 / t->tileS())) - 1);
  const int r0 = std::max(0, int(std::floor(b.t0 / t->tileT())));
  const int r1 = std::min(t->rows() - 1, int(std::ceil(b.t1 / t->tileT())) - 1);
  Box r = b;
  int span[4];
  if (c1 < c0 || r1 < r0 || !t->inkSpan(c0, c1, r0, r1, blankIsWhite, span)) {
    r.empty = true;
    return r;
  }
  // Linear filtering reaches one texel further.
  const double ls0 = span[0] * t->tileS() - t->texelS(), ls1 = (span[1] + 1) * t->tileS() + t->texelS();
  const double lt0 = span[2] * t->tileT() - t->texelT(), lt1 = (span[3] + 1) * t->tileT() + t->texelT();
  // Cut to the cell; an edge that stays the cell's keeps its exact value.
  auto place = [](double v, double c0, double c1, double p0, double p1) {
    if (v <= c0) return p0;
    if (v >= c1) return p1;
    return p0 + (v - c0) / (c1 - c0) * (p1 - p0);
  };
  r.s0 = std::max(ls0, b.s0);
  r.s1 = std::min(ls1, b.s1);
  r.t0 = std::max(lt0, b.t0);
  r.t1 = std::min(lt1, b.t1);
  r.x0 = place(r.s0, b.s0, b.s1, b.x0, b.x1);
  r.x1 = place(r.s1, b.s0, b.s1, b.x0, b.x1);
  r.y0 = place(r.t0, b.t0, b.t1, b.y0, b.y1);
  r.y1 = place(r.t1, b.t0, b.t1, b.y0, b.y1);
  return r;
}

void GlyphRun::quad(const Box& b, double z, bool textured) {
  const double xs[4] = {b.x0, b.x1, b.x1, b.x0};
  const double ys[4] = {b.y0, b.y0, b.y1, b.y1};
  const double ss[4] = {b.s0, b.s1, b.s1, b.s0};
  const double ts[4] = {b.t0, b.t0, b.t1, b.t1};
  for (int i = 0; i < 4; ++i) {
    if (textured) glTexCoord2d(ss[i], ts[i]);
    glVertex3d(xs[i], ys[i], z);
  }
}

void GlyphRun::flush() {
  if (count_ == 0) return;
  GLfloat now[16];
  bool restore = false;
  if (tracksMatrix_) {
    glGetFloatv(GL_MODELVIEW_MATRIX, now);
    restore = std::memcmp(now, matrix_, sizeof now) != 0;
    if (restore) glLoadMatrixf(matrix_);
  }
  draw();
  if (restore) glLoadMatrixf(now);
  count_ = 0;
}

void GlyphRun::draw() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  // One draw per texture: a pass binds each texture its glyphs use once.
  auto pass = [&](GLuint Glyph::*texture, Box Glyph::*box, int layer) {
    std::uint64_t done = 0;
    for (int i = 0; i < count_; ++i) {
      if (((done >> i) & 1u) || glyphs_[i].layer != layer) continue;
      const GLuint name = glyphs_[i].*texture;
      bool begun = false;
      for (int k = i; k < count_; ++k) {
        if (glyphs_[k].*texture != name || glyphs_[k].layer != layer) continue;
        done |= std::uint64_t(1) << k;
        if ((glyphs_[k].*box).empty) continue;
        if (!begun) {
          glBindTexture(GL_TEXTURE_2D, name);
          glBegin(GL_QUADS);
          glNormal3d(0.0, 0.0, 1.0);
          begun = true;
        }
        quad(glyphs_[k].*box, glyphs_[k].z, true);
      }
      if (begun) glEnd();
    }
  };
  int layers = 0;
  for (int i = 0; i < count_; ++i) layers = std::max(layers, glyphs_[i].layer + 1);
  for (int layer = 0; layer < layers; ++layer) {
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    pass(&Glyph::mask, &Glyph::cell, layer);
    glBlendFunc(GL_ONE, GL_ONE);
    pass(&Glyph::colour, &Glyph::colourInk, layer);
  }
  // As the last glyph drawn alone would leave it.
  glBindTexture(GL_TEXTURE_2D, glyphs_[count_ - 1].colour);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
}

// The batch being gathered, if one is.
GlyphRun* g_batch = nullptr;

// Where a primitive's glyphs go: into the batch when one gathers this
// font's glyphs, else into a run of the primitive's own, drawn when it
// ends. A text of another font first draws what the batch holds.
class Pen {
 public:
  explicit Pen(const FontSet& font) {
    if (g_batch && g_batch->font().slots == font.slots && g_batch->font().ctx == font.ctx) {
      run_ = g_batch;
      return;
    }
    if (g_batch) g_batch->flush();
    own_.emplace(font);
    run_ = &*own_;
  }
  GlyphRun& operator*() { return *run_; }

 private:
  std::optional<GlyphRun> own_;
  GlyphRun* run_ = nullptr;
};

float numberStep(float size) { return float(double(size) * fontgeo::kNumberStep); }

float cellX(float x, std::int64_t cell, float step) { return float(double(x) + double(cell) * double(step)); }

// 10^k for the k an int64 magnitude can need; larger powers only ever
// contribute zero digits.
constexpr int kMaxPower = 18;
std::int64_t powerOfTen(std::int64_t k) {
  std::int64_t p = 1;
  for (std::int64_t i = 0; i < k; ++i) p *= 10;
  return p;
}

// Digit of magnitude at 10^k, the same as (v / d) - (v / (10 d)) * 10.
std::int32_t digitAt(std::int64_t magnitude, std::int64_t k) {
  if (k < 0 || k > kMaxPower) return 0;
  return std::int32_t((magnitude / powerOfTen(k)) % 10);
}

std::int64_t digitCount(std::int64_t magnitude) {
  std::int64_t count = 0;
  while (magnitude >= 1) {
    magnitude /= 10;
    ++count;
  }
  return count;
}

// Whether a '-' finds a free cell left of the digits in `positions` cells.
bool minusFits(std::int64_t magnitude, std::int32_t positions) {
  const std::int64_t shown = std::max<std::int64_t>(digitCount(magnitude), 1);
  return shown < std::int64_t(positions);
}

void charGlyph(GlyphRun& run, const FontSet& font, const char* c, std::int32_t colour, float size, float x, float y,
               float z) {
  if (!c) return;
  const fontgeo::Cell cell = fontgeo::letterCell(static_cast<unsigned char>(*c));
  const double s0 = cell.column * fontgeo::kLetterCellWidth;
  const float t0 = float(cell.row) * 0.1f;
  const int colourSlot =
      (colour >= 0 && colour < fontgeo::kLetterColours) ? kLetterColourSlot0 + colour : kLetterColourSlot0 + 6;
  run.add(font.slots[kLetterMaskSlot], font.slots[colourSlot], s0, t0, s0 + fontgeo::kLetterCellWidth,
          double(t0) + fontgeo::kCellHeight, size, x, y, z);
}

void digitGlyph(GlyphRun& run, const FontSet& font, std::int32_t digit, std::int32_t colour, float size, float x,
                float y, float z) {
  const std::int32_t d = digit < 0 ? 0 : (digit >= fontgeo::kDigitRows ? fontgeo::kDigitRows - 1 : digit);
  // Negative colours are as unknown as those above 6 and share their column.
  const std::int32_t column =
      (colour >= 0 && colour < fontgeo::kLastDigitColumn) ? colour : fontgeo::kLastDigitColumn;
  const double s0 = column * fontgeo::kDigitCellWidth;
  run.add(font.slots[kDigitMaskSlot], font.slots[kDigitColourSlot], s0, d * fontgeo::kCellHeight,
          s0 + fontgeo::kDigitCellWidth, (d + 1) * fontgeo::kCellHeight, size, x, y, z);
}

void layoutNumber(GlyphRun& run, const FontSet& font, std::int64_t magnitude, bool minus, std::int32_t positions,
                  std::int32_t leadingZeros, std::int32_t fixedPositions, std::int32_t colour, float size, float x,
                  float y, float z) {
  if (positions <= 0) return;
  const float step = numberStep(size);
  const std::int64_t count = digitCount(magnitude);
  const std::int64_t first = std::int64_t(positions) - count;
  const std::int64_t last = std::int64_t(positions) - 1;
  const std::int64_t minusCell = leadingZeros ? 0 : last - std::max<std::int64_t>(count, 1);
  std::int64_t drawn = 0;
  for (std::int64_t i = 0; i <= last; ++i) {
    const std::int64_t cell = fixedPositions ? i : drawn;
    if (minus && i == minusCell) {
      charGlyph(run, font, "-", colour, size, cellX(x, cell, step), y, z);
      ++drawn;
      continue;
    }
    if (!leadingZeros && i < first && i != last) continue;
    digitGlyph(run, font, digitAt(magnitude, last - i), colour, size, cellX(x, cell, step), y, z);
    ++drawn;
  }
}

void numberGlyphs(GlyphRun& run, const FontSet& font, std::int32_t value, std::int32_t positions,
                  std::int32_t leadingZeros, std::int32_t fixedPositions, std::int32_t colour, float size, float x,
                  float y, float z) {
  std::int64_t magnitude = value;
  const bool minus = value < 0;
  if (minus) {
    magnitude = -magnitude;
    if (!minusFits(magnitude, positions)) return;
  }
  layoutNumber(run, font, magnitude, minus, positions, leadingZeros, fixedPositions, colour, size, x, y, z);
}

}  // namespace

void SetGlyphQuadHook(GlyphQuadHook hook) { g_hook = hook; }

GlyphBatch::GlyphBatch(const FontSet& font) {
  static GlyphRun run;
  if (g_batch) return;  // the outer batch gathers
  run.startBatch(font);
  g_batch = &run;
  owner_ = true;
}

GlyphBatch::~GlyphBatch() {
  if (!owner_) return;
  GlyphRun* run = g_batch;
  g_batch = nullptr;
  run->endBatch();
}

void DrawChar(const FontSet& font, const char* c, std::int32_t colour, float size, float x, float y, float z) {
  Pen pen(font);
  charGlyph(*pen, font, c, colour, size, x, y, z);
}

void DrawDigit(const FontSet& font, std::int32_t digit, std::int32_t colour, float size, float x, float y, float z) {
  Pen pen(font);
  digitGlyph(*pen, font, digit, colour, size, x, y, z);
}

void DrawText(const FontSet& font, const char* text, std::int32_t colour, float size, float x, float y, float z) {
  if (!text) return;
  Pen to(font);
  GlyphRun& run = *to;
  const float a = float(fontgeo::kAdvance * double(size));
  float pen = x;
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    if (fontgeo::isNarrow(c)) {
      const float left = float(double(pen) - fontgeo::kNarrowShift * a);
      charGlyph(run, font, p, colour, size, left, y, z);
      pen = float(double(left) + (fontgeo::kNarrowShift + fontgeo::kNarrowAdvance) * a);
      continue;
    }
    if (c >= '0' && c <= '9')
      digitGlyph(run, font, c - '0', colour, size, pen, y, z);
    else if (c != ' ')
      charGlyph(run, font, p, colour, size, pen, y, z);
    pen = float(double(pen) + double(a));
  }
}

void DrawNumber(const FontSet& font, std::int32_t value, std::int32_t positions, std::int32_t leadingZeros,
                std::int32_t fixedPositions, std::int32_t colour, float size, float x, float y, float z) {
  Pen pen(font);
  numberGlyphs(*pen, font, value, positions, leadingZeros, fixedPositions, colour, size, x, y, z);
}

DecimalParts SplitDecimal(double magnitude, std::int32_t decimals) {
  const double scale = std::pow(10.0, double(decimals));
  DecimalParts parts{std::trunc(magnitude), 0.0};
  parts.fraction = std::floor((magnitude - parts.whole + magnitude * kFloatSlack) * scale);
  if (parts.fraction >= scale) {
    parts.whole += 1.0;
    parts.fraction = 0.0;
  }
  return parts;
}

void DrawDecimal(const FontSet& font, float value, std::int32_t integerDigits, std::int32_t decimals,
                 std::int32_t leadingZeros, std::int32_t fixedPositions, std::int32_t colour, float size, float x,
                 float y, float z) {
  if (std::isnan(value) || std::isinf(value)) return;
  const bool negative = value < 0.0f;
  const DecimalParts parts = SplitDecimal(std::fabs(double(value)), decimals);
  if (parts.whole >= std::pow(10.0, double(integerDigits) + 1.0)) return;
  const std::int32_t intPart = truncToInt32(parts.whole);
  const std::int32_t fraction = truncToInt32(parts.fraction);

  const bool minus = negative && (intPart != 0 || (decimals > 0 && fraction != 0));
  // A sign needs a free cell left of the integer digits, which always show
  // at least their units digit.
  if (minus && (integerDigits <= 0 || !minusFits(intPart, integerDigits))) return;
  Pen to(font);
  GlyphRun& run = *to;
  if (integerDigits > 0)
    layoutNumber(run, font, intPart, minus, integerDigits, leadingZeros, fixedPositions, colour, size, x, y, z);
  if (decimals > 0) {
    const float step = numberStep(size);
    const float pen = cellX(x, integerDigits, step);
    charGlyph(run, font, ".", colour, size, float(double(pen) - 0.2 * double(step)), y, z);
    numberGlyphs(run, font, fraction, decimals, 1, 0, colour, size, float(double(pen) + 0.6666667 * double(step)), y,
                 z);
  }
}

std::int64_t RoundNearest(float value) {
  if (std::isnan(value)) return 0;
  // Every float at or past 2^63 is an integer already; saturate those.
  constexpr double kLimit = 9223372036854775808.0;
  const double v = value;
  if (v >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (v <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  if (v > 0.0) return static_cast<std::int64_t>(v + 0.5);
  if (v < 0.0) return static_cast<std::int64_t>(v - 0.5);
  return 0;
}
