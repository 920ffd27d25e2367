#pragma once
#include <GL/gl.h>

#include <cstdint>

#include "instruments/instrument.h"

// Text and numbers for the ECAM screens: every glyph is one quad drawn
// twice, through a mask that darkens its shape and a colour picture added
// on top. The caller's model-view matrix is used as it stands.

// Texture slots an ECAM instrument keeps; the font set sits at the same
// slot numbers in both ECAM instruments.
inline constexpr int kEcamTextureSlots = 65;
inline constexpr int kLetterColourSlot0 = 10;  // 10 to 16: letters in colours 0 to 6
inline constexpr int kLetterMaskSlot = 18;
inline constexpr int kDigitColourSlot = 19;
inline constexpr int kDigitMaskSlot = 20;

// The texture names of one instrument, indexed by slot; the primitives
// read only the font slots.
struct FontSet {
  const GLuint* slots;  // at least kDigitMaskSlot + 1 entries
  // Where the font pictures are lit, so that a glyph is drawn only over
  // its ink; null draws whole cells.
  const InstrumentContext* ctx = nullptr;
};

void DrawChar(const FontSet& font, const char* c, std::int32_t colour, float size, float x, float y, float z);
// digit outside 0 to 9 is clamped into the atlas.
void DrawDigit(const FontSet& font, std::int32_t digit, std::int32_t colour, float size, float x, float y, float z);
void DrawText(const FontSet& font, const char* text, std::int32_t colour, float size, float x, float y, float z);
// A negative number or decimal takes a '-' in a free cell before its
// digits, and draws nothing when it has none; a decimal's integer part
// always shows at least its units digit.
void DrawNumber(const FontSet& font, std::int32_t value, std::int32_t positions, std::int32_t leadingZeros,
                std::int32_t fixedPositions, std::int32_t colour, float size, float x, float y, float z);
void DrawDecimal(const FontSet& font, float value, std::int32_t integerDigits, std::int32_t decimals,
                 std::int32_t leadingZeros, std::int32_t fixedPositions, std::int32_t colour, float size, float x,
                 float y, float z);
// Four units in the last place of a float, relative to the value: how far
// below a decimal float rounding may leave a value that stands for it.
inline constexpr double kFloatSlack = 1.0 / double(1 << 21);
// A non-negative value cut to `decimals` places: the whole part and the
// decimals as an integer, both truncated. A value within kFloatSlack below
// the next decimal counts as that decimal, so 2.3f (2.2999999) shows 2.3
// while 2.96 still shows 2.9.
struct DecimalParts {
  double whole;
  double fraction;  // 0 to 10^decimals - 1
};
DecimalParts SplitDecimal(double magnitude, std::int32_t decimals);
// Halves away from zero; saturates at the ends of the 64-bit range, NaN gives 0.
std::int64_t RoundNearest(float value);

// Gathers the glyphs of every text drawn with this font while it lives and
// draws them together, pass by pass, when it ends: a few draws for a whole
// screen of text instead of a few per text. Nothing but text may be drawn
// while one lives, or it would be drawn before text given earlier; the
// model-view matrix may change between texts. While one lives another does
// nothing.
class GlyphBatch {
 public:
  explicit GlyphBatch(const FontSet& font);
  ~GlyphBatch();
  GlyphBatch(const GlyphBatch&) = delete;
  GlyphBatch& operator=(const GlyphBatch&) = delete;

 private:
  bool owner_ = false;
};

// Test seam: while a hook is set, every glyph quad goes to it instead of
// to OpenGL, with both passes' textures in one record.
struct GlyphQuad {
  GLuint maskTexture;
  GLuint colourTexture;
  double x[4], y[4];  // corners in drawing order
  double s[4], t[4];
  double z;
};
using GlyphQuadHook = void (*)(const GlyphQuad& quad);
void SetGlyphQuadHook(GlyphQuadHook hook);
