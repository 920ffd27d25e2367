#include "platform/bmp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

void put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = std::uint8_t(v >> (8 * i));
}
void put16(std::vector<std::uint8_t>& f, std::size_t at, std::uint16_t v) {
  f[at] = std::uint8_t(v);
  f[at + 1] = std::uint8_t(v >> 8);
}

std::vector<std::uint8_t> good(int w, int h) {
  const int stride = platform::bmpStride(w);
  std::vector<std::uint8_t> rows(std::size_t(stride) * h);
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::uint8_t(i * 7);
  return platform::encodeBmp24(w, h, rows);
}

TEST(Bmp, DecodesBottomUpPaddedRows) {
  // 3 pixels wide: 9 bytes of pixels, padded to 12.
  const int stride = platform::bmpStride(3);
  ASSERT_EQ(stride, 12);
  std::vector<std::uint8_t> rows(std::size_t(stride) * 2, 0);
  rows[0] = 1;   // bottom row, first pixel, blue
  rows[2] = 3;   // red
  rows[12 + 8] = 9;  // top row, last pixel, red
  platform::Bitmap24 b;
  ASSERT_TRUE(platform::decodeBmp24(platform::encodeBmp24(3, 2, rows), b));
  EXPECT_EQ(b.width, 3);
  EXPECT_EQ(b.height, 2);
  EXPECT_EQ(b.stride, 12);
  EXPECT_EQ(b.rows, rows);
  for (int w : {1, 2, 4, 5, 300}) {
    platform::Bitmap24 d;
    EXPECT_TRUE(platform::decodeBmp24(good(w, 3), d)) << w;
    EXPECT_EQ(d.stride % 4, 0);
  }
}

TEST(Bmp, RefusesMalformedFiles) {
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
  } cases[] = {
      {"empty", [](auto& f) { f.clear(); }},
      {"header only", [](auto& f) { f.resize(14); }},
      {"wrong magic", [](auto& f) { f[0] = 'X'; }},
      {"8 bits", [](auto& f) { put16(f, 28, 8); }},
      {"16 bits", [](auto& f) { put16(f, 28, 16); }},
      {"32 bits", [](auto& f) { put16(f, 28, 32); }},
      {"0 bits", [](auto& f) { put16(f, 28, 0); }},
      {"compressed", [](auto& f) { put32(f, 30, 1); }},
      {"bitfields", [](auto& f) { put32(f, 30, 3); }},
      {"two planes", [](auto& f) { put16(f, 26, 2); }},
      {"zero width", [](auto& f) { put32(f, 18, 0); }},
      {"negative width", [](auto& f) { put32(f, 18, 0xfffffff0u); }},
      {"top-down, absurd height", [](auto& f) { put32(f, 22, 0x80000000u); }},
      {"top-down rows past the file", [](auto& f) { put32(f, 22, std::uint32_t(-9)); }},
      {"absurd width", [](auto& f) { put32(f, 18, 0x7fffffffu); }},
      {"absurd height", [](auto& f) { put32(f, 22, 0x40000000u); }},
      {"width times height past the file", [](auto& f) { put32(f, 18, 16000); put32(f, 22, 16000); }},
      {"truncated pixels", [](auto& f) { f.resize(f.size() - 1); }},
      {"pixel offset past the end", [](auto& f) { put32(f, 10, 0xfffffff0u); }},
      {"pixel offset inside the header", [](auto& f) { put32(f, 10, 20); }},
      {"info size past the end", [](auto& f) { put32(f, 14, 0x7fffffffu); }},
      {"info size too small", [](auto& f) { put32(f, 14, 4); }},
      {"info size between core and full", [](auto& f) { put32(f, 14, 20); }},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> f = good(8, 8);
    c.spoil(f);
    platform::Bitmap24 b;
    EXPECT_FALSE(platform::decodeBmp24(f, b)) << c.what;
  }
}

TEST(Bmp, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
  const std::vector<std::uint8_t> f = good(5, 4);
  for (std::size_t n = 0; n < f.size(); ++n) {
    // Copy into an exact-size buffer so a read past n is a sanitizer error.
    std::vector<std::uint8_t> cut(f.begin(), f.begin() + std::ptrdiff_t(n));
    platform::Bitmap24 b;
    EXPECT_FALSE(platform::decodeBmp24(cut, b)) << n;
  }
}

TEST(Bmp, LoadFromDisk) {
  const std::string path = std::filesystem::temp_directory_path() / "a320-bmp-test.bmp";
  const auto bytes = good(7, 3);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  platform::Bitmap24 b;
  EXPECT_TRUE(platform::loadBmp24(path, b));
  EXPECT_EQ(b.width, 7);
  std::filesystem::remove(path);
  EXPECT_FALSE(platform::loadBmp24(path, b));
  EXPECT_FALSE(platform::loadBmp24("/", b));  // a folder
}

}  // namespace
