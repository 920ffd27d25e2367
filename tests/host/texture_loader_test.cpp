#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/bmp.h"
#include "support/offscreen.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct TempDir {
  TempDir() {
    char tmpl[] = "/tmp/a320-tex-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path); }
  void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(path + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::string path;
};

std::vector<std::uint8_t> solidBmp(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  const int stride = platform::bmpStride(w);
  std::vector<std::uint8_t> rows(std::size_t(stride) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      rows[std::size_t(y) * stride + x * 3] = b;
      rows[std::size_t(y) * stride + x * 3 + 1] = g;
      rows[std::size_t(y) * stride + x * 3 + 2] = r;
    }
  return platform::encodeBmp24(w, h, rows);
}

TEST(TextureLoader, LoadsOnceAndScalesOddSizes) {
  TempDir dir;
  dir.write("00000001.tex", solidBmp(300, 200, 10, 20, 200));
  OffscreenWindow ow(32, 32, 1.0f, dir.path);
  InstrumentWindow& w = *ow.window;
  GLuint name = 0;
  ASSERT_TRUE(w.loadTexture("Data/00000001.tex", name));
  EXPECT_NE(name, 0u);
  GLuint again = name;
  EXPECT_FALSE(w.loadTexture("Data/00000001.tex", again));  // filled only once
  EXPECT_EQ(again, name);
  // Backslashes as written in stored names work too.
  GLuint other = 0;
  EXPECT_TRUE(w.loadTexture("Data\\00000001.tex", other));

  glBindTexture(GL_TEXTURE_2D, name);
  GLint tw = 0, th = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
  EXPECT_EQ(tw & (tw - 1), 0) << tw;  // powers of two
  EXPECT_EQ(th & (th - 1), 0) << th;
  std::vector<std::uint8_t> texels(std::size_t(tw) * th * 3);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[0], 200);  // stored blue-green-red, uploaded as red-green-blue
  EXPECT_EQ(texels[1], 20);
  EXPECT_EQ(texels[2], 10);
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &name);
  glDeleteTextures(1, &other);
}

// What a file becomes: grey pictures one byte a texel, colour three
// components, powers of two only the level the linear filter samples, and
// a map of where it is lit for power-of-two files only.
TEST(TextureLoader, KeepsWhatIsSampledAndMapsWhereItIsLit) {
  struct Case {
    const char* what;
    int w, h;
    std::uint8_t b, g, r;
    bool luminance, mipmapped, mapped;
  };
  const Case cases[] = {
      {"grey mask", 64, 32, 255, 255, 255, true, false, true},
      {"grey that is not black or white", 16, 16, 77, 77, 77, true, false, true},
      {"colour picture", 64, 64, 0, 200, 40, false, false, true},
      {"blue only just off grey", 8, 8, 101, 100, 100, false, false, true},
      {"odd size, scaled on the way in", 300, 200, 10, 20, 200, false, true, false},
  };
  TempDir dir;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    dir.write("0000010" + std::to_string(i) + ".tex", solidBmp(c.w, c.h, c.b, c.g, c.r));
  }
  OffscreenWindow ow(32, 32, 1.0f, dir.path);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    GLuint name = 0;
    ASSERT_TRUE(ow.window->loadTexture(("Data/0000010" + std::to_string(i) + ".tex").c_str(), name)) << c.what;
    glBindTexture(GL_TEXTURE_2D, name);
    GLint luminance = 0, red = 0, nextLevel = 0, w = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_LUMINANCE_SIZE, &luminance);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_RED_SIZE, &red);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &nextLevel);
    EXPECT_EQ(luminance > 0, c.luminance) << c.what;
    EXPECT_EQ(red > 0, !c.luminance) << c.what;
    EXPECT_EQ(nextLevel > 0, c.mipmapped) << c.what;
    // Read back, the texels are the file's colour (a luminance texture
    // reads back as its grey alone).
    std::vector<std::uint8_t> texels(std::size_t(w) * 512 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, c.luminance ? GL_LUMINANCE : GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    EXPECT_EQ(texels[0], c.r) << c.what;
    if (!c.luminance) {
      EXPECT_EQ(texels[1], c.g) << c.what;
      EXPECT_EQ(texels[2], c.b) << c.what;
    }
    const TextureCoverage* map = ow.window->textureCoverage(name);
    ASSERT_NE(map, nullptr) << c.what;
    EXPECT_EQ(map->known(), c.mapped) << c.what;
    if (map->known()) {
      EXPECT_EQ(map->black(0, 0), c.r == 0 && c.g == 0 && c.b == 0) << c.what;
      EXPECT_EQ(map->white(0, 0), c.r == 255 && c.g == 255 && c.b == 255) << c.what;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &name);
  }
  EXPECT_EQ(ow.window->textureCoverage(9999), nullptr);
}

// Some editors store rows top row first (a negative height); the texture
// must come out the same as from the usual bottom-up file, upright.
TEST(TextureLoader, TopDownFileUploadsUpright) {
  const int w = 6, h = 5, stride = platform::bmpStride(w);
  std::vector<std::uint8_t> bottomUp(std::size_t(stride) * h, 0), topDown(bottomUp.size(), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) bottomUp[std::size_t(y) * stride + x * 3 + c] = std::uint8_t(40 * y + 10 * x + c);
  for (int y = 0; y < h; ++y)
    std::copy_n(&bottomUp[std::size_t(y) * stride], stride, &topDown[std::size_t(h - 1 - y) * stride]);
  auto topDownFile = platform::encodeBmp24(w, h, topDown);
  const std::uint32_t negative = std::uint32_t(-h);
  for (int i = 0; i < 4; ++i) topDownFile[22 + i] = std::uint8_t(negative >> (8 * i));
  TempDir dir;
  dir.write("00000004.tex", platform::encodeBmp24(w, h, bottomUp));
  dir.write("00000005.tex", topDownFile);
  OffscreenWindow ow(32, 32, 1.0f, dir.path);
  std::vector<std::uint8_t> texels[2];
  const char* names[2] = {"Data/00000004.tex", "Data/00000005.tex"};
  for (int i = 0; i < 2; ++i) {
    GLuint t = 0;
    ASSERT_TRUE(ow.window->loadTexture(names[i], t)) << names[i];
    glBindTexture(GL_TEXTURE_2D, t);
    GLint tw = 0, th = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    texels[i].resize(std::size_t(tw) * th * 3);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels[i].data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &t);
  }
  EXPECT_EQ(texels[1], texels[0]);

  // Row t = 0 is the picture's bottom row: red 2 at the lower left, 212 at
  // the upper right (rows padded to 20 bytes, sides scaled to powers of two).
  EXPECT_LT(texels[1][0], 30);
  EXPECT_GT(texels[1][texels[1].size() - 3], 150);
}

TEST(TextureLoader, RefusesWhatIsNotA24BitBitmap) {
  TempDir dir;
  auto eightBit = solidBmp(4, 4, 1, 2, 3);
  eightBit[28] = 8;
  dir.write("00000002.tex", eightBit);
  dir.write("00000003.tex", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  OffscreenWindow ow(32, 32, 1.0f, dir.path);
  for (const char* name : {"Data/00000002.tex", "Data/00000003.tex", "Data/00000099.tex"}) {
    GLuint t = 0;
    EXPECT_FALSE(ow.window->loadTexture(name, t)) << name;
    EXPECT_EQ(t, 0u) << name;
  }
}

}  // namespace
