#include <gtest/gtest.h>

#include <cstring>

#include "platform/egl_offscreen.h"
#include "platform/png_file.h"

namespace {

TEST(EglOffscreen, RefusesEmptySize) {
  std::string error;
  EXPECT_FALSE(platform::EglOffscreenSurface::create(0, 10, &error));
  EXPECT_FALSE(error.empty());
}

TEST(PngFile, WritesAndReportsFailures) {
  std::vector<std::uint8_t> px(4 * 4 * 4, 200);
  std::string error;
  const std::string path = "/tmp/a320-png-test.png";
  ASSERT_TRUE(platform::writePngRgba(path, 4, 4, px, &error)) << error;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  unsigned char sig[8] = {};
  EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8), 0);
  std::remove(path.c_str());
  EXPECT_FALSE(platform::writePngRgba("/nonexistent-dir/x.png", 4, 4, px, &error));
  EXPECT_NE(error.find("/nonexistent-dir/x.png"), std::string::npos);
  EXPECT_FALSE(platform::writePngRgba(path, 5, 5, px, &error));  // buffer too small
}

}  // namespace
