#include "instruments/texture_coverage.h"

#include <algorithm>
#include <vector>

TextureCoverage TextureCoverage::measure(int width, int height, int stride, const std::uint8_t* bgrRows) {
  TextureCoverage c;
  if (width <= 0 || height <= 0 || !bgrRows) return c;
  const int tw = (width + kMaxTiles - 1) / kMaxTiles;
  const int th = (height + kMaxTiles - 1) / kMaxTiles;
  c.columns_ = (width + tw - 1) / tw;
  c.rows_ = (height + th - 1) / th;
  c.tileS_ = double(tw) / double(width);
  c.tileT_ = double(th) / double(height);

  // 0: black, 1: white, 2: anything else.
  std::vector<std::uint8_t> kind(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* p = bgrRows + std::size_t(y) * std::size_t(stride);
    for (int x = 0; x < width; ++x, p += 3) {
      const bool black = (p[0] | p[1] | p[2]) == 0;
      const bool white = (p[0] & p[1] & p[2]) == 255;
      kind[std::size_t(y) * std::size_t(width) + std::size_t(x)] = black ? 0 : (white ? 1 : 2);
    }
  }
  auto wrap = [](int v, int n) { return ((v % n) + n) % n; };
  for (int row = 0; row < c.rows_; ++row) {
    for (int column = 0; column < c.columns_; ++column) {
      bool allBlack = true, allWhite = true;
      const int x0 = column * tw - 1, x1 = std::min((column + 1) * tw, width);
      const int y0 = row * th - 1, y1 = std::min((row + 1) * th, height);
      for (int y = y0; y <= y1 && (allBlack || allWhite); ++y) {
        const std::size_t base = std::size_t(wrap(y, height)) * std::size_t(width);
        for (int x = x0; x <= x1; ++x) {
          const std::uint8_t k = kind[base + std::size_t(wrap(x, width))];
          allBlack = allBlack && k == 0;
          allWhite = allWhite && k == 1;
        }
      }
      if (allBlack) c.black_[std::size_t(row)] |= std::uint64_t(1) << column;
      if (allWhite) c.white_[std::size_t(row)] |= std::uint64_t(1) << column;
    }
  }
  return c;
}
