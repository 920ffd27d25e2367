#pragma once
#include <array>
#include <cstdint>

// Where a texture holds anything, tile by tile, so that a picture is drawn
// only where it shows: a mask is white (keeps the frame) and a colour
// picture black (adds nothing) over most of their square. A tile counts as
// black or white when every texel that linear filtering can read for a
// point inside it is: its own texels and one more on every side, wrapping
// round the edges as the texture repeats.
class TextureCoverage {
 public:
  static constexpr int kMaxTiles = 64;

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
  bool black(int column, int row) const { return (black_[std::size_t(row)] >> column) & 1u; }
  bool white(int column, int row) const { return (white_[std::size_t(row)] >> column) & 1u; }
  bool sameGrid(const TextureCoverage& o) const { return columns_ == o.columns_ && rows_ == o.rows_; }

 private:
  int columns_ = 0, rows_ = 0;
  double tileS_ = 1.0, tileT_ = 1.0;
  std::array<std::uint64_t, kMaxTiles> black_{}, white_{};
};
