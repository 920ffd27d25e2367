#pragma once
#include <cstdint>
#include <vector>

// Where a texture holds anything, tile by tile, so that a picture is drawn
// only where it shows: a mask is white (keeps the frame) and a colour
// picture black (adds nothing) over most of their square. Tiles are one
// texel square in small textures and a few texels in large ones.
//
// black() and white() count what linear filtering reads for a point inside
// the tile: its own texels and one more on every side, wrapping round the
// edges as the texture repeats. inkBlack() and inkWhite() count the tile's
// own texels only, for callers that widen by a texel themselves.
class TextureCoverage {
 public:
  static constexpr int kMaxTiles = 256;

  // Nothing known: every tile is mixed.
  TextureCoverage() = default;
  // From bottom-up rows of blue, green, red bytes, as uploaded.
  static TextureCoverage measure(int width, int height, int stride, const std::uint8_t* bgrRows);

  bool known() const { return columns_ > 0; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // Tile (column, row) spans s from column * tileS() to (column + 1) * tileS(), and t alike.
  double tileS() const { return tileS_; }
  double tileT() const { return tileT_; }
  // One texel, in texture coordinates.
  double texelS() const { return texelS_; }
  double texelT() const { return texelT_; }
  bool black(int column, int row) const { return bit(black_, column, row); }
  bool white(int column, int row) const { return bit(white_, column, row); }
  bool inkBlack(int column, int row) const { return bit(ownBlack_, column, row); }
  bool inkWhite(int column, int row) const { return bit(ownWhite_, column, row); }
  bool sameGrid(const TextureCoverage& o) const { return columns_ == o.columns_ && rows_ == o.rows_; }
  // The tiles of columns c0 to c1 and rows r0 to r1 (inclusive) whose own
  // texels are not all black (or, for a mask, white): the first and last
  // column and row of them; false when there are none.
  bool inkSpan(int c0, int c1, int r0, int r1, bool blankIsWhite, int span[4]) const;

 private:
  static constexpr int kWords = kMaxTiles / 64;
  bool bit(const std::vector<std::uint64_t>& set, int column, int row) const {
    return (set[std::size_t(row) * kWords + std::size_t(column / 64)] >> (column % 64)) & 1u;
  }
  int columns_ = 0, rows_ = 0;
  double tileS_ = 1.0, tileT_ = 1.0, texelS_ = 1.0, texelT_ = 1.0;
  std::vector<std::uint64_t> black_, white_, ownBlack_, ownWhite_;
};
