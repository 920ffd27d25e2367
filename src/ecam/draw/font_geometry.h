#pragma once
// Layout of the ECAM font pictures, shared by the text primitives and the
// artwork generator so that every glyph lands in the cell the code samples.

namespace fontgeo {

// Letter atlas: 4 columns by 10 rows; t counts up from the picture's bottom.
inline constexpr int kLetterColumns = 4;
inline constexpr int kLetterRows = 10;
inline constexpr double kLetterCellWidth = 0.25;
// Digit atlas: one column per text colour, one row per digit value.
inline constexpr int kDigitColumns = 8;
inline constexpr int kDigitRows = 10;
inline constexpr double kDigitCellWidth = 0.125;
inline constexpr double kCellHeight = 0.1;
// The last digit column serves every colour above 6.
inline constexpr int kLastDigitColumn = 7;
// Letters of any colour outside 0..6 use the colour-6 picture.
inline constexpr int kLetterColours = 7;

// A glyph quad on screen, per unit of text size.
inline constexpr double kGlyphWidth = 0.06061;
inline constexpr double kGlyphHeight = 0.075;
// Pen advance inside text, and the tighter digit step of numbers.
inline constexpr double kAdvance = 0.055;
inline constexpr double kNumberStep = 0.04424;
// Narrow characters sit a quarter advance left and take half an advance.
inline constexpr double kNarrowShift = 0.25;
inline constexpr double kNarrowAdvance = 0.5;

constexpr bool isNarrow(char c) {
  return c == 'I' || c == '.' || c == ',' || c == ':' || c == ';' || c == '/' || c == '\\';
}

// Column and row of a character's cell in the letter atlas; everything
// without a glyph maps to the blank cell at column 3, row 0.
struct Cell {
  int column;
  int row;
};

constexpr Cell letterCell(unsigned char c) {
  if (c >= 'A' && c <= 'J') return {0, c - 'A'};
  if (c >= 'K' && c <= 'T') return {1, c - 'K'};
  if (c >= 'U' && c <= 'Z') return {2, c - 'U'};
  switch (c) {
    case '.': return {2, 6};
    case ',': return {2, 7};
    case '-': return {2, 8};
    case ':': return {2, 9};
    case '+': return {3, 1};
    case '=': return {3, 2};
    case '/': return {3, 3};
    case ';': return {3, 4};
    case 0xB0: return {3, 5};  // degree sign
    case '$': return {3, 6};
    case '%': return {3, 7};
    case '#': return {3, 8};
    case '\\': return {3, 9};
    default: return {3, 0};
  }
}

// Text colour indices as the ECAM pages use them.
inline constexpr int kColourLabel = 0;    // labels, checklist titles
inline constexpr int kColourUnit = 1;     // units, open checklist items
inline constexpr int kColourValue = 2;    // values, memos, done items
inline constexpr int kColourSpare = 3;  // not used by the pages
inline constexpr int kColourCaution = 4;
inline constexpr int kColourAdvisory = 5;  // "TO CONFIG" title, unavailable values
inline constexpr int kColourWarning = 6;

// Picture sizes written by the generator: a cell is 32 by 51.2 texels in
// both atlases, close to the glyph's size on a typical ECAM screen.
inline constexpr int kLetterAtlasWidth = 128;
inline constexpr int kLetterAtlasHeight = 512;
inline constexpr int kDigitAtlasWidth = 256;
inline constexpr int kDigitAtlasHeight = 512;

}  // namespace fontgeo
