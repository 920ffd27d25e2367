#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

bool writePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                  std::string* error) {
  if (rgba.size() < std::size_t(width) * height * 4) {
    if (error) *error = "picture buffer is smaller than the picture";
    return false;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
    if (error) *error = "cannot write " + path + ": " + image.message + (errno ? std::string(" (") + std::strerror(errno) + ")" : "");
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace platform
