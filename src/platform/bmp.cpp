#include "platform/bmp.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace platform {
namespace {

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kBiRgb = 0;

}  // namespace

int bmpStride(int width) { return (width * 3 + 3) & ~3; }

bool decodeBmp24(std::span<const std::uint8_t> file, Bitmap24& out) {
  if (file.size() < kFileHeader + 12) return false;
  const std::uint8_t* d = file.data();
  if (d[0] != 'B' || d[1] != 'M') return false;
  const std::uint32_t pixelOffset = le32(d + 10);
  const std::uint32_t infoSize = le32(d + 14);
  if (infoSize < 12 || infoSize > file.size() - kFileHeader) return false;

  std::int64_t width = 0, height = 0;
  std::uint16_t planes = 0, bits = 0;
  std::uint32_t compression = kBiRgb;
  if (infoSize == 12) {  // OS/2 core header
    width = le16(d + 18);
    height = le16(d + 20);
    planes = le16(d + 22);
    bits = le16(d + 24);
  } else {
    if (infoSize < 40) return false;
    width = std::int32_t(le32(d + 18));
    height = std::int32_t(le32(d + 22));
    planes = le16(d + 26);
    bits = le16(d + 28);
    compression = le32(d + 30);
  }
  // A negative height marks rows stored top row first, as some editors
  // write them; they are turned over below so that row 0 is the bottom row.
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (planes != 1 || bits != 24 || compression != kBiRgb) return false;
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;

  const std::int64_t stride = (width * 3 + 3) & ~std::int64_t(3);
  const std::int64_t need = stride * height;
  if (pixelOffset < kFileHeader + infoSize) return false;
  if (std::int64_t(pixelOffset) > std::int64_t(file.size()) || std::int64_t(file.size()) - pixelOffset < need)
    return false;

  out.width = int(width);
  out.height = int(height);
  out.stride = int(stride);
  out.rows.assign(d + pixelOffset, d + pixelOffset + need);
  if (topDown)
    for (std::int64_t lo = 0, hi = height - 1; lo < hi; ++lo, --hi)
      std::swap_ranges(out.rows.begin() + lo * stride, out.rows.begin() + (lo + 1) * stride,
                       out.rows.begin() + hi * stride);
  return true;
}

bool loadBmp24(const std::string& path, Bitmap24& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  // The largest legal file is a 16384 x 16384 bitmap plus headers.
  if (size <= 0 || size > std::streamoff(kMaxBitmapSide) * kMaxBitmapSide * 3 + 65536 * 4) return false;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return false;
  return decodeBmp24(bytes, out);
}

std::vector<std::uint8_t> encodeBmp24(int width, int height, std::span<const std::uint8_t> bgrRows) {
  const int stride = bmpStride(width);
  const std::uint32_t imageSize = std::uint32_t(stride) * std::uint32_t(height);
  std::vector<std::uint8_t> f(kFileHeader + 40 + imageSize, 0);
  f[0] = 'B';
  f[1] = 'M';
  put32(&f[2], std::uint32_t(f.size()));
  put32(&f[10], kFileHeader + 40);
  put32(&f[14], 40);
  put32(&f[18], std::uint32_t(width));
  put32(&f[22], std::uint32_t(height));
  put16(&f[26], 1);
  put16(&f[28], 24);
  put32(&f[34], imageSize);
  put32(&f[38], 2835);
  put32(&f[42], 2835);
  std::memcpy(&f[54], bgrRows.data(), std::min<std::size_t>(imageSize, bgrRows.size()));
  return f;
}

}  // namespace platform
