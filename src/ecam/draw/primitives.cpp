#include "ecam/draw/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

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

void emitQuad(GLuint mask, GLuint colour, double s0, double t0, double s1, double t1, float size, float x, float y,
              float z) {
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

void layoutNumber(const FontSet& font, std::int64_t magnitude, bool minus, std::int32_t positions,
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
      DrawChar(font, "-", colour, size, cellX(x, cell, step), y, z);
      ++drawn;
      continue;
    }
    if (!leadingZeros && i < first && i != last) continue;
    DrawDigit(font, digitAt(magnitude, last - i), colour, size, cellX(x, cell, step), y, z);
    ++drawn;
  }
}

}  // namespace

void SetGlyphQuadHook(GlyphQuadHook hook) { g_hook = hook; }

void DrawChar(const FontSet& font, const char* c, std::int32_t colour, float size, float x, float y, float z) {
  if (!c) return;
  const fontgeo::Cell cell = fontgeo::letterCell(static_cast<unsigned char>(*c));
  const double s0 = cell.column * fontgeo::kLetterCellWidth;
  const float t0 = float(cell.row) * 0.1f;
  const int colourSlot =
      (colour >= 0 && colour < fontgeo::kLetterColours) ? kLetterColourSlot0 + colour : kLetterColourSlot0 + 6;
  emitQuad(font.slots[kLetterMaskSlot], font.slots[colourSlot], s0, t0, s0 + fontgeo::kLetterCellWidth,
           double(t0) + fontgeo::kCellHeight, size, x, y, z);
}

void DrawDigit(const FontSet& font, std::int32_t digit, std::int32_t colour, float size, float x, float y, float z) {
  const std::int32_t d = digit < 0 ? 0 : (digit >= fontgeo::kDigitRows ? fontgeo::kDigitRows - 1 : digit);
  // Negative colours are as unknown as those above 6 and share their column.
  const std::int32_t column =
      (colour >= 0 && colour < fontgeo::kLastDigitColumn) ? colour : fontgeo::kLastDigitColumn;
  const double s0 = column * fontgeo::kDigitCellWidth;
  emitQuad(font.slots[kDigitMaskSlot], font.slots[kDigitColourSlot], s0, d * fontgeo::kCellHeight,
           s0 + fontgeo::kDigitCellWidth, (d + 1) * fontgeo::kCellHeight, size, x, y, z);
}

void DrawText(const FontSet& font, const char* text, std::int32_t colour, float size, float x, float y, float z) {
  if (!text) return;
  const float a = float(fontgeo::kAdvance * double(size));
  float pen = x;
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    if (fontgeo::isNarrow(c)) {
      const float left = float(double(pen) - fontgeo::kNarrowShift * a);
      DrawChar(font, p, colour, size, left, y, z);
      pen = float(double(left) + (fontgeo::kNarrowShift + fontgeo::kNarrowAdvance) * a);
      continue;
    }
    if (c >= '0' && c <= '9')
      DrawDigit(font, c - '0', colour, size, pen, y, z);
    else if (c != ' ')
      DrawChar(font, p, colour, size, pen, y, z);
    pen = float(double(pen) + double(a));
  }
}

void DrawNumber(const FontSet& font, std::int32_t value, std::int32_t positions, std::int32_t leadingZeros,
                std::int32_t fixedPositions, std::int32_t colour, float size, float x, float y, float z) {
  std::int64_t magnitude = value;
  const bool minus = value < 0;
  if (minus) {
    magnitude = -magnitude;
    if (!minusFits(magnitude, positions)) return;
  }
  layoutNumber(font, magnitude, minus, positions, leadingZeros, fixedPositions, colour, size, x, y, z);
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
  if (integerDigits > 0)
    layoutNumber(font, intPart, minus, integerDigits, leadingZeros, fixedPositions, colour, size, x, y, z);
  if (decimals > 0) {
    const float step = numberStep(size);
    const float pen = cellX(x, integerDigits, step);
    DrawChar(font, ".", colour, size, float(double(pen) - 0.2 * double(step)), y, z);
    DrawNumber(font, fraction, decimals, 1, 0, colour, size, float(double(pen) + 0.6666667 * double(step)), y, z);
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
