#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

// 256 little-endian 32-bit words, exactly one datagram.
inline constexpr std::size_t kFlightDataBytes = 1024;
inline constexpr int kFlightDataWords = 256;

struct FlightDataBlock {
  std::array<std::uint8_t, kFlightDataBytes> bytes{};

  // Out-of-range word numbers read as 0 rather than outside the block.
  std::uint32_t u32(int word) const {
    if (word < 0 || word >= kFlightDataWords) return 0;
    const std::uint8_t* p = &bytes[std::size_t(word) * 4];
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
  }
  std::int32_t i32(int word) const { return std::bit_cast<std::int32_t>(u32(word)); }
  float f32(int word) const { return std::bit_cast<float>(u32(word)); }

  void setU32(int word, std::uint32_t v) {
    if (word < 0 || word >= kFlightDataWords) return;
    std::uint8_t* p = &bytes[std::size_t(word) * 4];
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
  }
  void setF32(int word, float v) { setU32(word, std::bit_cast<std::uint32_t>(v)); }
};
