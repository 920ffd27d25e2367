#include "instruments/texture_coverage.h"

#include <algorithm>

TextureCoverage TextureCoverage::measure(int width, int height, int stride, const std::uint8_t* bgrRows) {
  TextureCoverage c;
  if (width <= 0 || height <= 0 || !bgrRows) return c;
  const int tw = (width + kMaxTiles - 1) / kMaxTiles;
  const int th = (height + kMaxTiles - 1) / kMaxTiles;
  c.columns_ = (width + tw - 1) / tw;
  c.rows_ = (height + th - 1) / th;
  c.tileS_ = double(tw) / double(width);
  c.tileT_ = double(th) / double(height);
  c.texelS_ = 1.0 / double(width);
  c.texelT_ = 1.0 / double(height);
  const std::size_t words = std::size_t(c.rows_) * kWords;
  c.black_.assign(words, 0);
  c.white_.assign(words, 0);
  c.ownBlack_.assign(words, 0);
  c.ownWhite_.assign(words, 0);

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
  // Whether every texel of the rectangle (inclusive, wrapping) is black, white.
  auto scan = [&](int x0, int y0, int x1, int y1, bool& allBlack, bool& allWhite) {
    allBlack = allWhite = true;
    for (int y = y0; y <= y1 && (allBlack || allWhite); ++y) {
      const std::size_t base = std::size_t(wrap(y, height)) * std::size_t(width);
      for (int x = x0; x <= x1; ++x) {
        const std::uint8_t k = kind[base + std::size_t(wrap(x, width))];
        allBlack = allBlack && k == 0;
        allWhite = allWhite && k == 1;
      }
    }
  };
  for (int row = 0; row < c.rows_; ++row) {
    for (int column = 0; column < c.columns_; ++column) {
      const int x0 = column * tw, x1 = std::min((column + 1) * tw, width) - 1;
      const int y0 = row * th, y1 = std::min((row + 1) * th, height) - 1;
      const std::size_t word = std::size_t(row) * kWords + std::size_t(column / 64);
      const std::uint64_t bit = std::uint64_t(1) << (column % 64);
      bool b = false, w = false;
      scan(x0, y0, x1, y1, b, w);
      if (b) c.ownBlack_[word] |= bit;
      if (w) c.ownWhite_[word] |= bit;
      if (!b && !w) continue;
      scan(x0 - 1, y0 - 1, x1 + 1, y1 + 1, b, w);
      if (b) c.black_[word] |= bit;
      if (w) c.white_[word] |= bit;
    }
  }
  return c;
}

bool TextureCoverage::inkSpan(int c0, int c1, int r0, int r1, bool blankIsWhite, int span[4]) const {
  const std::vector<std::uint64_t>& blank = blankIsWhite ? ownWhite_ : ownBlack_;
  span[0] = columns_;
  span[1] = -1;
  span[2] = rows_;
  span[3] = -1;
  for (int row = r0; row <= r1; ++row) {
    for (int w = c0 / 64; w <= c1 / 64; ++w) {
      std::uint64_t ink = ~blank[std::size_t(row) * kWords + std::size_t(w)];
      const int lo = std::max(c0 - w * 64, 0), hi = std::min(c1 - w * 64, 63);
      ink &= (hi == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (hi + 1)) - 1) & (~std::uint64_t(0) << lo);
      if (!ink) continue;
      span[0] = std::min(span[0], w * 64 + __builtin_ctzll(ink));
      span[1] = std::max(span[1], w * 64 + 63 - __builtin_clzll(ink));
      span[2] = std::min(span[2], row);
      span[3] = std::max(span[3], row);
    }
  }
  return span[1] >= 0;
}
