#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Writes RGBA rows (top row first) as a PNG; fills error on failure.
bool writePngRgba(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba,
                  std::string* error);

}  // namespace platform
