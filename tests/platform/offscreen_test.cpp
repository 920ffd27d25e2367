#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/egl_offscreen.h"
#include "platform/png_file.h"

namespace {

TEST(EglOffscreen, CompatibilityContextDrawsImmediateMode) {
  std::string error;
  auto s = platform::EglOffscreenSurface::create(16, 8, &error);
  ASSERT_TRUE(s) << error;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  ASSERT_NE(version, nullptr);
  GLint depth = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  EXPECT_GE(depth, 16);
  glViewport(0, 0, 16, 8);
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 0, 0);
  glBegin(GL_QUADS);  // left half red
  glVertex2f(-1, -1);
  glVertex2f(0, -1);
  glVertex2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  const auto px = s->readPixelsTopDown();
  ASSERT_EQ(px.size(), 16u * 8 * 4);
  EXPECT_EQ(px[0], 255);  // top-left red
  EXPECT_EQ(px[2], 0);
  EXPECT_EQ(px[15 * 4 + 2], 255);  // top-right blue
  EXPECT_EQ(px[15 * 4 + 0], 0);
}

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
