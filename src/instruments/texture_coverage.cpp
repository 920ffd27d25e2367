#include "instruments/texture_coverage.h"

#include <algorithm>

namespace {

using Row = std::vector<std::uint64_t>;  // one bit a texel, texel x at bit x % 64 of word x / 64

bool bitAt(const Row& r, int x) { return (r[std::size_t(x / 64)] >> (x % 64)) & 1u; }

// Bits set where the texel and its left and right neighbours all are set,
// wrapping round the row's ends.
Row erodeAlong(const Row& r, int width) {
  Row out(r.size(), 0);
  const int words = int(r.size());
  for (int w = 0; w < words; ++w) {
    const std::uint64_t v = r[std::size_t(w)];
    const std::uint64_t below = w > 0 ? r[std::size_t(w - 1)] >> 63 : std::uint64_t(bitAt(r, width - 1));
    const std::uint64_t above = w + 1 < words ? r[std::size_t(w + 1)] << 63 : 0;
    out[std::size_t(w)] = v & ((v << 1) | below) & ((v >> 1) | above);
  }
  // Texel width - 1 has texel 0 as its right neighbour.
  const int last = width - 1;
  const std::uint64_t bit = std::uint64_t(1) << (last % 64);
  if (bitAt(r, (last + width - 1) % width) && bitAt(r, last) && bitAt(r, 0))
    out[std::size_t(last / 64)] |= bit;
  else
    out[std::size_t(last / 64)] &= ~bit;
  return out;
}

// Whether every bit of columns x0 to x1 (inclusive) is set in every row
// from y0 to y1.
bool allSet(const std::vector<Row>& rows, int x0, int x1, int y0, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int w = x0 / 64; w <= x1 / 64; ++w) {
      const int lo = std::max(x0 - w * 64, 0), hi = std::min(x1 - w * 64, 63);
      const std::uint64_t mask =
          (hi == 63 ? ~std::uint64_t(0) : (std::uint64_t(1) << (hi + 1)) - 1) & (~std::uint64_t(0) << lo);
      if ((rows[std::size_t(y)][std::size_t(w)] & mask) != mask) return false;
    }
  return true;
}

}  // namespace

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

  // Texel by texel, then eroded by one texel each way (wrapping as the
  // texture repeats): a texel stays set when everything linear filtering
  // reads around it is black (white).
  const std::size_t rowWords = std::size_t(width + 63) / 64;
  std::vector<Row> black(std::size_t(height), Row(rowWords, 0)), white = black;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* p = bgrRows + std::size_t(y) * std::size_t(stride);
    Row& b = black[std::size_t(y)];
    Row& w = white[std::size_t(y)];
    for (int x = 0; x < width; ++x, p += 3) {
      const std::uint64_t bit = std::uint64_t(1) << (x % 64);
      if ((p[0] | p[1] | p[2]) == 0) b[std::size_t(x / 64)] |= bit;
      if ((p[0] & p[1] & p[2]) == 255) w[std::size_t(x / 64)] |= bit;
    }
  }
  auto erode = [&](const std::vector<Row>& rows) {
    std::vector<Row> along(rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y) along[y] = erodeAlong(rows[y], width);
    std::vector<Row> out(rows.size(), Row(rowWords, 0));
    for (int y = 0; y < height; ++y) {
      const Row& a = along[std::size_t((y + height - 1) % height)];
      const Row& m = along[std::size_t(y)];
      const Row& n = along[std::size_t((y + 1) % height)];
      for (std::size_t w = 0; w < rowWords; ++w) out[std::size_t(y)][w] = a[w] & m[w] & n[w];
    }
    return out;
  };
  const std::vector<Row> blackAround = erode(black), whiteAround = erode(white);

  for (int row = 0; row < c.rows_; ++row) {
    const int y0 = row * th, y1 = std::min((row + 1) * th, height) - 1;
    for (int column = 0; column < c.columns_; ++column) {
      const int x0 = column * tw, x1 = std::min((column + 1) * tw, width) - 1;
      const std::size_t word = std::size_t(row) * kWords + std::size_t(column / 64);
      const std::uint64_t bit = std::uint64_t(1) << (column % 64);
      if (allSet(black, x0, x1, y0, y1)) c.ownBlack_[word] |= bit;
      if (allSet(white, x0, x1, y0, y1)) c.ownWhite_[word] |= bit;
      if (allSet(blackAround, x0, x1, y0, y1)) c.black_[word] |= bit;
      if (allSet(whiteAround, x0, x1, y0, y1)) c.white_[word] |= bit;
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
