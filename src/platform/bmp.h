#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// A decoded 24-bit bitmap exactly as stored: rows bottom-up, each row padded
// to 4 bytes, pixels as blue, green, red.
struct Bitmap24 {
  int width = 0;
  int height = 0;
  int stride = 0;  // bytes per row, a multiple of 4
  std::vector<std::uint8_t> rows;
};

// Largest side we accept; larger files are treated as corrupt.
inline constexpr int kMaxBitmapSide = 16384;

// Decodes an uncompressed 24-bit BMP, bottom-up or top-down; the result is
// always bottom-up. Anything else (other depths, compression, truncated
// data, lying headers) is refused.
bool decodeBmp24(std::span<const std::uint8_t> file, Bitmap24& out);
bool loadBmp24(const std::string& path, Bitmap24& out);

// Encodes bottom-up BGR rows (stride padded to 4) as a 24-bit BMP file.
std::vector<std::uint8_t> encodeBmp24(int width, int height, std::span<const std::uint8_t> bgrRows);
int bmpStride(int width);

}  // namespace platform
