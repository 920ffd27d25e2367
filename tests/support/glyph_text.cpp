#include "support/glyph_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ecam/draw/font_geometry.h"
#include "ecam/draw/primitives.h"

namespace testing_support {

namespace {

const GLuint* g_slots = nullptr;
std::vector<ShownGlyph> g_glyphs;

char letterAt(int column, int row) {
  for (int c = 1; c < 256; ++c) {
    const fontgeo::Cell cell = fontgeo::letterCell(static_cast<unsigned char>(c));
    if (cell.column == column && cell.row == row && !(cell.column == 3 && cell.row == 0)) return char(c);
  }
  return ' ';
}

void record(const GlyphQuad& q) {
  if (!g_slots) return;
  const double left = std::min({q.x[0], q.x[1], q.x[2], q.x[3]});
  const double right = std::max({q.x[0], q.x[1], q.x[2], q.x[3]});
  const double bottom = std::min({q.y[0], q.y[1], q.y[2], q.y[3]});
  const double s0 = std::min({q.s[0], q.s[1], q.s[2], q.s[3]});
  const double t0 = std::min({q.t[0], q.t[1], q.t[2], q.t[3]});
  ShownGlyph g{'?', -1, left, bottom, (right - left) / fontgeo::kGlyphWidth};
  const int row = int(std::lround(t0 / fontgeo::kCellHeight));
  if (q.maskTexture == g_slots[kDigitMaskSlot] && q.colourTexture == g_slots[kDigitColourSlot]) {
    g.ch = char('0' + std::clamp(row, 0, 9));
    g.colour = int(std::lround(s0 / fontgeo::kDigitCellWidth));
  } else if (q.maskTexture == g_slots[kLetterMaskSlot]) {
    g.ch = letterAt(int(std::lround(s0 / fontgeo::kLetterCellWidth)), row);
    for (int c = 0; c < fontgeo::kLetterColours; ++c)
      if (q.colourTexture == g_slots[kLetterColourSlot0 + c]) g.colour = c;
  } else {
    return;  // another instrument's glyph
  }
  g_glyphs.push_back(g);
}

std::vector<ShownGlyph> lineAt(double x, double y, double maxWidth, double tol) {
  std::vector<ShownGlyph> line;
  for (const ShownGlyph& g : g_glyphs)
    if (std::fabs(g.y - y) <= tol && g.x >= x - 0.03 && g.x <= x + maxWidth) line.push_back(g);
  std::stable_sort(line.begin(), line.end(), [](const ShownGlyph& a, const ShownGlyph& b) { return a.x < b.x; });
  return line;
}

}  // namespace

GlyphCapture::GlyphCapture(const GLuint* slots) {
  g_slots = slots;
  g_glyphs.clear();
  SetGlyphQuadHook(&record);
}

GlyphCapture::~GlyphCapture() {
  SetGlyphQuadHook(nullptr);
  g_slots = nullptr;
  g_glyphs.clear();
}

const std::vector<ShownGlyph>& GlyphCapture::glyphs() const { return g_glyphs; }
void GlyphCapture::clear() { g_glyphs.clear(); }

std::string GlyphCapture::textAt(double x, double y, double maxWidth, double tol) const {
  std::string s;
  for (const ShownGlyph& g : lineAt(x, y, maxWidth, tol))
    if (g.ch != ' ') s += g.ch;
  return s;
}

int GlyphCapture::colourAt(double x, double y, double maxWidth, double tol) const {
  const std::vector<ShownGlyph> line = lineAt(x, y, maxWidth, tol);
  return line.empty() ? -1 : line.front().colour;
}

std::string GlyphCapture::dump() const {
  std::string s;
  char buf[96];
  for (const ShownGlyph& g : g_glyphs) {
    std::snprintf(buf, sizeof buf, "'%c' c%d (%.5f, %.5f) x%.2f\n", g.ch, g.colour, g.x, g.y, g.size);
    s += buf;
  }
  return s;
}

}  // namespace testing_support
