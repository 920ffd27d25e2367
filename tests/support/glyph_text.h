#pragma once
#include <GL/gl.h>

#include <string>
#include <vector>

namespace testing_support {

// One glyph as the ECAM primitives drew it: the character, its text colour
// index (digits: the atlas column, 0 to 7), the lower-left corner of its
// cell and its size factor.
struct ShownGlyph {
  char ch;
  int colour;
  double x, y, size;
};

// Records every glyph the ECAM primitives draw while it lives, decoded
// through one instrument's texture slots; the glyphs then do not reach GL.
// Only one may live at a time.
class GlyphCapture {
 public:
  explicit GlyphCapture(const GLuint* slots);
  ~GlyphCapture();
  GlyphCapture(const GlyphCapture&) = delete;
  GlyphCapture& operator=(const GlyphCapture&) = delete;

  const std::vector<ShownGlyph>& glyphs() const;
  void clear();
  // The glyphs whose cells start at height y (within tol), from a little
  // left of x to x + maxWidth, joined left to right ("27", "-5", "GEN 1"
  // without its blank).
  std::string textAt(double x, double y, double maxWidth = 0.5, double tol = 0.002) const;
  // Colour of the leftmost of those glyphs; -1 when there is none.
  int colourAt(double x, double y, double maxWidth = 0.5, double tol = 0.002) const;
  // Every glyph joined in drawing order, for failure messages.
  std::string dump() const;
};

}  // namespace testing_support
