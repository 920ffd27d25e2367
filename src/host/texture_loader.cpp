#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>
#include <vector>

#include "host/instrument_window.h"
#include "platform/bmp.h"

namespace {

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// A grey picture (every mask, some dials) is kept as one byte a texel
// instead of four: sampled and drawn alike under GL_REPLACE, a luminance
// texture gives red, green and blue the grey and leaves the fragment's
// alpha as an RGB texture does, at a quarter of the memory and of the
// memory traffic when it is sampled.
void uploadBaseLevel(const platform::Bitmap24& bitmap) {
  const std::size_t w = std::size_t(bitmap.width), h = std::size_t(bitmap.height);
  bool grey = true;
  for (std::size_t y = 0; y < h && grey; ++y) {
    const std::uint8_t* p = bitmap.rows.data() + y * std::size_t(bitmap.stride);
    for (std::size_t x = 0; x < w && grey; ++x, p += 3) grey = p[0] == p[1] && p[1] == p[2];
  }
  if (grey) {
    std::vector<std::uint8_t> level(w * h);
    for (std::size_t y = 0; y < h; ++y) {
      const std::uint8_t* p = bitmap.rows.data() + y * std::size_t(bitmap.stride);
      for (std::size_t x = 0; x < w; ++x, p += 3) level[y * w + x] = p[0];
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, bitmap.width, bitmap.height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                 level.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    return;
  }
  glTexImage2D(GL_TEXTURE_2D, 0, 3, bitmap.width, bitmap.height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE, bitmap.rows.data());
}

}  // namespace

bool InstrumentWindow::loadTexture(const char* fileName, GLuint& textureName) {
  if (!fileName) return false;
  std::string path = fileName;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.rfind("Data/", 0) == 0) path = dataDir_ + path.substr(4);

  platform::Bitmap24 bitmap;
  if (!platform::loadBmp24(path, bitmap)) return false;
  if (textureName != 0) return false;  // a texture name is filled only once

  glGenTextures(1, &textureName);
  glBindTexture(GL_TEXTURE_2D, textureName);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  if (textureName >= coverage_.size()) coverage_.resize(textureName + 1);
  if (isPowerOfTwo(bitmap.width) && isPowerOfTwo(bitmap.height)) {
    // The linear filter only ever samples the base level: a mipmap chain
    // would cost a third more memory and most of the loading time.
    uploadBaseLevel(bitmap);
    coverage_[textureName] = TextureCoverage::measure(bitmap.width, bitmap.height, bitmap.stride, bitmap.rows.data());
  } else {
    // Scaled to powers of two on the way in; what it holds is not known.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap.width, bitmap.height, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                      bitmap.rows.data());
    coverage_[textureName] = TextureCoverage{};
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}

const TextureCoverage* InstrumentWindow::textureCoverage(GLuint textureName) const {
  return textureName < coverage_.size() ? &coverage_[textureName] : nullptr;
}
