// Texture files: the bitmap decoder, and the loader that uploads what it
// decodes into a real (offscreen) GL context.
#include <GL/gl.h>

#include <fstream>

#include "fuzz_support.h"
#include "platform/bmp.h"

namespace {

// Sides beyond this only make each upload slow; the decoder itself takes
// every size up to its limit.
constexpr int kLargestUpload = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::unique_ptr<InstrumentWindow> window = fuzzing::offscreenWindow(16, 16);
  static const std::string path = fuzzing::scratchFolder() + "/fuzz.tex";

  platform::Bitmap24 bitmap;
  const bool decoded = platform::decodeBmp24({data, size}, bitmap);
  if (decoded) {
    FUZZ_CHECK(bitmap.width > 0 && bitmap.height > 0 && bitmap.width <= platform::kMaxBitmapSide &&
                   bitmap.height <= platform::kMaxBitmapSide,
               "%d x %d", bitmap.width, bitmap.height);
    FUZZ_CHECK(bitmap.stride == platform::bmpStride(bitmap.width), "stride %d for width %d", bitmap.stride,
               bitmap.width);
    FUZZ_CHECK(bitmap.rows.size() == std::size_t(bitmap.stride) * std::size_t(bitmap.height), "%zu bytes of rows",
               bitmap.rows.size());
    // What we write, we read back as it was.
    const auto again = platform::encodeBmp24(bitmap.width, bitmap.height, bitmap.rows);
    platform::Bitmap24 copy;
    FUZZ_CHECK(platform::decodeBmp24(again, copy), "our own encoding of %d x %d refused", bitmap.width,
               bitmap.height);
    FUZZ_CHECK(copy.width == bitmap.width && copy.height == bitmap.height && copy.rows == bitmap.rows,
               "our own encoding read back otherwise");
  }
  if (decoded && (bitmap.width > kLargestUpload || bitmap.height > kLargestUpload)) return 0;

  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
  GLuint name = 0;
  const bool loaded = window->loadTexture(path.c_str(), name);
  FUZZ_CHECK(loaded == decoded, "the loader says %d where the decoder says %d", int(loaded), int(decoded));
  FUZZ_CHECK(loaded == (name != 0), "texture name %u after a load that returned %d", name, int(loaded));
  FUZZ_CHECK(glGetError() == GL_NO_ERROR, "GL error after loading a %d x %d bitmap", bitmap.width, bitmap.height);
  if (name) glDeleteTextures(1, &name);
  return 0;
}
