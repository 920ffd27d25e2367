#include "instruments/texture_coverage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Bottom-up BGR rows, every texel `fill`, with some texels set to `spot`.
struct Picture {
  int width, height, stride;
  std::vector<std::uint8_t> rows;
  Picture(int w, int h, std::uint8_t fill) : width(w), height(h), stride((w * 3 + 3) / 4 * 4) {
    rows.assign(std::size_t(stride) * h, fill);
  }
  void set(int x, int y, std::uint8_t v) {
    for (int c = 0; c < 3; ++c) rows[std::size_t(y) * stride + std::size_t(x) * 3 + c] = v;
  }
  TextureCoverage measure() const { return TextureCoverage::measure(width, height, stride, rows.data()); }
};

TEST(TextureCoverage, TilesCountTheTexelsFilteringReads) {
  struct Case {
    const char* what;
    int spotX, spotY;
    int column, row;     // tile asked about
    bool black, inkBlack;  // with and without its neighbours
  };
  // 16 x 16 texels: one texel per tile. One lit texel at (spotX, spotY).
  const Case cases[] = {
      {"the lit texel's own tile", 5, 5, 5, 5, false, false},
      {"its neighbour reads it when filtering", 5, 5, 6, 5, false, true},
      {"diagonal neighbour too", 5, 5, 4, 4, false, true},
      {"two texels away is black", 5, 5, 7, 5, true, true},
      {"the far edge wraps round to the lit texel", 0, 0, 15, 15, false, true},
      {"the next edge tile reads it too", 0, 0, 15, 0, false, true},
      {"but not the middle", 0, 0, 8, 8, true, true},
  };
  for (const Case& c : cases) {
    Picture p(16, 16, 0);
    p.set(c.spotX, c.spotY, 200);
    const TextureCoverage cov = p.measure();
    ASSERT_TRUE(cov.known());
    EXPECT_EQ(cov.columns(), 16) << c.what;
    EXPECT_EQ(cov.black(c.column, c.row), c.black) << c.what;
    EXPECT_EQ(cov.inkBlack(c.column, c.row), c.inkBlack) << c.what;
    EXPECT_FALSE(cov.white(c.column, c.row)) << c.what;
  }
}

TEST(TextureCoverage, MasksAreWhiteWhereTheyKeepTheFrame) {
  Picture p(16, 8, 255);
  p.set(3, 2, 0);
  const TextureCoverage cov = p.measure();
  EXPECT_TRUE(cov.white(10, 5));
  EXPECT_FALSE(cov.white(3, 2));
  EXPECT_FALSE(cov.white(4, 3)) << "reads the dark texel";
  EXPECT_TRUE(cov.inkWhite(4, 3));
  EXPECT_FALSE(cov.black(10, 5));
  // A texel just short of white darkens the frame by a step: not white.
  Picture q(16, 8, 255);
  q.set(9, 4, 254);
  EXPECT_FALSE(q.measure().white(9, 4));
}

TEST(TextureCoverage, LargeTexturesGetTilesOfSeveralTexels) {
  Picture p(1024, 8, 0);
  p.set(1023, 0, 90);
  const TextureCoverage cov = p.measure();
  EXPECT_EQ(cov.columns(), TextureCoverage::kMaxTiles);
  EXPECT_EQ(cov.rows(), 8);
  EXPECT_DOUBLE_EQ(cov.tileS(), 4.0 / 1024.0);
  EXPECT_DOUBLE_EQ(cov.texelS(), 1.0 / 1024.0);
  EXPECT_FALSE(cov.black(255, 0));
  EXPECT_FALSE(cov.black(0, 0)) << "wraps round to texel 1023";
  EXPECT_TRUE(cov.black(128, 4));
}

TEST(TextureCoverage, InkSpanBoundsTheLitTiles) {
  Picture p(32, 32, 0);
  p.set(4, 10, 50);
  p.set(20, 6, 50);
  const TextureCoverage cov = p.measure();
  int span[4];
  ASSERT_TRUE(cov.inkSpan(0, 31, 0, 31, false, span));
  EXPECT_EQ(span[0], 4);
  EXPECT_EQ(span[1], 20);
  EXPECT_EQ(span[2], 6);
  EXPECT_EQ(span[3], 10);
  ASSERT_TRUE(cov.inkSpan(0, 10, 0, 31, false, span)) << "the left part holds only the first texel";
  EXPECT_EQ(span[1], 4);
  EXPECT_FALSE(cov.inkSpan(21, 31, 0, 31, false, span));
  EXPECT_FALSE(cov.inkSpan(0, 31, 11, 31, false, span));
  // Spans across a 64-column word boundary.
  Picture wide(256, 2, 255);
  wide.set(63, 1, 0);
  wide.set(64, 1, 0);
  const TextureCoverage w = wide.measure();
  ASSERT_TRUE(w.inkSpan(60, 70, 0, 1, true, span));
  EXPECT_EQ(span[0], 63);
  EXPECT_EQ(span[1], 64);
}

TEST(TextureCoverage, NothingMeasuredIsNothingKnown) {
  EXPECT_FALSE(TextureCoverage{}.known());
  EXPECT_FALSE(TextureCoverage::measure(0, 4, 4, nullptr).known());
}

}  // namespace
