// The ECAM font: a letter atlas in seven colours with its mask, and a digit
// atlas whose columns are the colours, with its mask.
#include <algorithm>
#include <string>

#include "art.h"
#include "ecam/draw/font_geometry.h"

using namespace fontgeo;

namespace {

// What each text colour index looks like on the ECAM screens.
constexpr unsigned kIndexColour[kDigitColumns] = {
    art::kWhite,    // 0 labels
    art::kCyan,     // 1 units, open checklist items
    art::kGreen,    // 2 values and memos
    art::kMagenta,  // 3
    art::kAmber,    // 4 cautions
    art::kAmber,    // 5 advisories
    art::kRed,      // 6 warnings
    art::kRed,      // 7 stands for every index above 6, as the letters do
};

// Vertical layout inside a cell, as fractions of its height from the bottom:
// room below the baseline for commas, caps that leave a gap to the next row.
constexpr double kBaseline = 0.20;
constexpr double kCapHeight = 0.62;

// The pen sits at the cell's left edge and moves one advance per glyph, so
// a glyph is centred on half an advance to keep the gaps even. Numbers step
// tighter, so digits sit a little further left and are kept narrower.
constexpr double kLetterCentre = kAdvance / 2 / kGlyphWidth;
constexpr double kDigitCentre = (kAdvance + kNumberStep) / 4 / kGlyphWidth;
constexpr double kLetterMaxInk = 0.80;
constexpr double kNarrowMaxInk = 0.40;
constexpr double kDigitMaxInk = 0.64;

struct Box {
  double x, y, w, h;  // Cairo pixels, y down
};

// Texture cell (column, row) in a picture of w x h pixels; row 0 is the
// bottom of the picture.
Box cellBox(int column, int row, double cellWidth, int w, int h) {
  return {column * cellWidth * w, (1.0 - (row + 1) * kCellHeight) * h, cellWidth * w, kCellHeight * h};
}

// Paints one glyph in its cell. The cell is stretched differently on screen
// than in the picture, so the glyph is scaled across by the ratio of the two
// to come out in its true shape; glyphs too wide for their slot are narrowed.
void glyph(cairo_t* cr, const std::string& text, const Box& cell, double centre, double maxInk, bool byAdvance) {
  const double screenRatio = kGlyphWidth / kGlyphHeight;
  const double widen = screenRatio / (cell.w / cell.h);

  art::font(cr, 100);
  cairo_text_extents_t h;
  cairo_text_extents(cr, "H", &h);
  art::font(cr, 100 * kCapHeight * cell.h / h.height);

  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  double across = widen;
  if (e.width * across > maxInk * cell.w) across = maxInk * cell.w / e.width;
  const double mid = byAdvance ? e.x_advance / 2 : e.x_bearing + e.width / 2;

  cairo_save(cr);
  cairo_translate(cr, cell.x + centre * cell.w, cell.y + cell.h * (1.0 - kBaseline));
  cairo_scale(cr, across, 1.0);
  cairo_move_to(cr, -mid, 0);
  cairo_show_text(cr, text.c_str());
  cairo_restore(cr);
}

// The atlas is indexed by code 0xB0 for the degree sign; the font wants UTF-8.
std::string glyphText(unsigned char c) { return c == 0xB0 ? std::string("\u00b0") : std::string(1, char(c)); }

// Every character that has a cell of its own.
constexpr unsigned char kGlyphs[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ.,-:+=/;\xb0$%#\\";

void paintLetters(cairo_t* cr, int w, int h) {
  for (unsigned char c : kGlyphs) {
    if (c == 0) break;
    const Cell cell = letterCell(c);
    glyph(cr, glyphText(c), cellBox(cell.column, cell.row, kLetterCellWidth, w, h), kLetterCentre,
          isNarrow(char(c)) ? kNarrowMaxInk : kLetterMaxInk, false);
  }
}

void paintDigits(cairo_t* cr, int w, int h, int column) {
  for (int d = 0; d < kDigitRows; ++d)
    glyph(cr, std::to_string(d), cellBox(column, d, kDigitCellWidth, w, h), kDigitCentre, kDigitMaxInk, true);
}

std::string fileName(int number) {
  std::string n = std::to_string(number);
  return "9999" + std::string(4 - n.size(), '0') + n + ".tex";
}

}  // namespace

void addEcamFontArt(std::vector<ArtFile>& files) {
  for (int colour = 0; colour < kLetterColours; ++colour) {
    const unsigned hex = kIndexColour[colour];
    files.push_back(art::colourOf(fileName(20 + colour), kLetterAtlasWidth, kLetterAtlasHeight,
                                  [hex](cairo_t* cr, int w, int h) {
                                    art::rgb(cr, hex);
                                    paintLetters(cr, w, h);
                                  }));
  }
  files.push_back(art::maskOf(fileName(28), kLetterAtlasWidth, kLetterAtlasHeight, [](cairo_t* cr, int w, int h) {
    art::rgb(cr, art::kWhite);
    paintLetters(cr, w, h);
  }));

  files.push_back(art::colourOf(fileName(32), kDigitAtlasWidth, kDigitAtlasHeight, [](cairo_t* cr, int w, int h) {
    for (int column = 0; column < kDigitColumns; ++column) {
      art::rgb(cr, kIndexColour[column]);
      paintDigits(cr, w, h, column);
    }
  }));
  files.push_back(art::maskOf(fileName(33), kDigitAtlasWidth, kDigitAtlasHeight, [](cairo_t* cr, int w, int h) {
    art::rgb(cr, art::kWhite);
    for (int column = 0; column < kDigitColumns; ++column) paintDigits(cr, w, h, column);
  }));
}
