// The generated Data folder: every file the instruments load, each a
// 24-bit bitmap with the role its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/bmp.h"

namespace {

std::set<std::string> expectedNames() {
  std::set<std::string> names;
  auto range = [&](int first, int last) {
    for (int n = first; n <= last; ++n) {
      char b[16];
      std::snprintf(b, sizeof b, "%08d.tex", n);
      names.insert(b);
    }
  };
  range(3310000, 3310003);
  range(3321000, 3321013);
  range(3321111, 3321111);
  range(3322000, 3322034);
  range(99990020, 99990026);
  range(99990028, 99990028);
  range(99990032, 99990033);
  range(1012000, 1012005);
  range(1020050, 1020051);
  range(1031000, 1031003);
  range(1210000, 1210006);
  range(1240000, 1240001);
  return names;
}

struct Stats {
  double mean = 0;
  int dark = 0, light = 0, coloured = 0;
};

Stats stats(const platform::Bitmap24& b) {
  Stats s;
  double sum = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const std::uint8_t* p = &b.rows[std::size_t(y) * b.stride + std::size_t(x) * 3];
      const int lo = std::min({p[0], p[1], p[2]}), hi = std::max({p[0], p[1], p[2]});
      sum += (p[0] + p[1] + p[2]) / 3.0;
      s.dark += hi < 40;
      s.light += lo > 215;
      s.coloured += hi - lo > 60;
    }
  s.mean = sum / (double(b.width) * b.height);
  return s;
}

TEST(Artwork, DataHoldsExactlyTheEightyFiveFiles) {
  const std::set<std::string> want = expectedNames();
  ASSERT_EQ(want.size(), 85u);
  std::set<std::string> have;
  for (const auto& e : std::filesystem::directory_iterator(A320_TEST_DATA_DIR))
    if (e.path().extension() == ".tex") have.insert(e.path().filename().string());
  EXPECT_EQ(have, want);
}

TEST(Artwork, EveryFileIsAPlausible24BitPicture) {
  for (const std::string& name : expectedNames()) {
    platform::Bitmap24 b;
    ASSERT_TRUE(platform::loadBmp24(std::string(A320_TEST_DATA_DIR) + "/" + name, b)) << name;
    EXPECT_GE(b.width, 8) << name;
    EXPECT_GE(b.height, 8) << name;
    const Stats s = stats(b);
    // Nothing is a blank sheet: some ink on some ground.
    EXPECT_GT(s.mean, 1.0) << name;
    EXPECT_LT(s.mean, 254.0) << name;
  }
}

TEST(Artwork, MasksAreDarkShapesOnWhite) {
  // The letter and digit masks: mostly white paper with dark glyphs, no hue.
  for (const char* name : {"99990028.tex", "99990033.tex", "03310001.tex", "03310003.tex"}) {
    platform::Bitmap24 b;
    ASSERT_TRUE(platform::loadBmp24(std::string(A320_TEST_DATA_DIR) + "/" + name, b)) << name;
    const Stats s = stats(b);
    EXPECT_GT(s.light, s.dark) << name;
    EXPECT_GT(s.dark, 0) << name;
    EXPECT_EQ(s.coloured, 0) << name;
  }
}

TEST(Artwork, FontSheetsDifferOnlyInColour) {
  // Each text colour has its own sheet with the same glyph shapes.
  platform::Bitmap24 first;
  ASSERT_TRUE(platform::loadBmp24(std::string(A320_TEST_DATA_DIR) + "/99990020.tex", first));
  std::set<std::uint32_t> colours;
  for (int n = 20; n <= 26; ++n) {
    platform::Bitmap24 b;
    ASSERT_TRUE(platform::loadBmp24(std::string(A320_TEST_DATA_DIR) + "/999900" + std::to_string(n) + ".tex", b));
    ASSERT_EQ(b.width, first.width);
    ASSERT_EQ(b.height, first.height);
    int inkHere = 0, inkBoth = 0;
    std::uint32_t brightest = 0;
    int best = -1;
    for (std::size_t i = 0; i + 2 < b.rows.size(); i += 3) {
      const int sumB = b.rows[i] + b.rows[i + 1] + b.rows[i + 2];
      const int sumF = first.rows[i] + first.rows[i + 1] + first.rows[i + 2];
      inkHere += sumB > 200;
      inkBoth += sumB > 200 && sumF > 200;
      if (sumB > best) {
        best = sumB;
        brightest = std::uint32_t(b.rows[i]) | std::uint32_t(b.rows[i + 1]) << 8 | std::uint32_t(b.rows[i + 2]) << 16;
      }
    }
    EXPECT_GT(inkHere, 1000) << n;
    EXPECT_GT(inkBoth, inkHere * 8 / 10) << n << ": glyphs not in the same cells";
    colours.insert(brightest & 0xf0f0f0);
  }
  EXPECT_GE(colours.size(), 5u);  // at least five distinct colours among seven indices
}

}  // namespace
