#pragma once
// Reading the round standby instruments back from their pixels: where a
// needle points, where a scale mark sits, and which part of the drum strip
// a counter window shows. The instrument fills a square frame of side
// `size` at the origin, turned by `rotation` degrees.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/bmp.h"
#include "standby/drum_geometry.h"
#include "support/offscreen.h"

namespace dialprobe {

inline constexpr double kDeg = 3.14159265358979323846 / 180.0;

struct Rgb {
  double r, g, b;
};

struct Frame {
  std::vector<std::uint8_t> rgba;  // top row first
  int size = 0;
  float rotation = 0.0f;

  // Colour under the instrument point (x, y), before the rotation.
  Rgb at(double x, double y) const {
    const double a = rotation * kDeg, c = std::cos(a), s = std::sin(a);
    const double rx = c * x - s * y, ry = s * x + c * y;
    const int px = int(std::floor((rx + 1) / 2 * size)), py = int(std::floor((ry + 1) / 2 * size));
    if (px < 0 || py < 0 || px >= size || py >= size) return {0, 0, 0};
    const std::uint8_t* p = &rgba[(std::size_t(size - 1 - py) * size + std::size_t(px)) * 4];
    return {double(p[0]), double(p[1]), double(p[2])};
  }
};

inline double brightness(Rgb c) { return (c.r + c.g + c.b) / 3; }

// Drum position of an offset: the cell that sits where cell 10 sits with
// no offset, so a digit d > 1 reads d, a 0 or 1 in a lower place 10 or 11,
// and a leading 0 reads 0.
inline double cellOf(float offset) { return 10.0 - 13.0 * double(offset); }
inline float offsetFor(double cell) { return float((10.0 - cell) / 13.0); }

// Two drum positions show the same picture when they are equal or ten cells
// apart over cells that carry the same digits (1 and 11, 2 and 12; 0 and 10
// only where cell 0 is a 0 too).
inline bool samePicture(double a, double b, bool zeroRepeats, double tolerance) {
  if (std::abs(a - b) <= tolerance) return true;
  if (std::abs(std::abs(a - b) - 10) > tolerance) return false;
  return std::min(a, b) >= (zeroRepeats ? -0.5 : 0.5) && std::max(a, b) <= 12.5;
}

// A scratch copy of the instrument's data files (those sharing the first
// four digits) without `missing`.
inline std::string dataWithout(const std::string& missing) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / ("without-" + missing);
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const auto& e : fs::directory_iterator(A320_TEST_DATA_DIR)) {
    const std::string name = e.path().filename().string();
    if (name != missing && name.compare(0, 4, missing, 0, 4) == 0) fs::copy_file(e.path(), dir / name);
  }
  return dir.string();
}

// One instrument in a window of its own, filling it.
struct Bench {
  Bench(std::int32_t type, int side, const std::string& dataDir = A320_TEST_DATA_DIR, int visible = 1)
      : size(side), ow(side, side, 1.0f, dataDir) {
    ow.window->setPlacement({0, 0, side, side, visible, type}, 1);
    made = ow.window->instrumentFactory(0, type);
  }
  Frame render(const FlightDataBlock& b, float rotation = 0.0f) {
    ow.window->setRotationAngle(rotation);
    ow.window->setData(b.bytes.data());
    EXPECT_TRUE(ow.window->renderPass());
    return {ow.pixels(), size, rotation};
  }
  testing_support::RecordingSink sink;  // before the window: it catches the factory's messages
  int size;
  testing_support::OffscreenWindow ow;
  bool made = false;
};

// Circular mean, in degrees, of the points of the annulus r0..r1 within
// `halfWidth` degrees of `around` that pass the test; NAN if fewer than
// minCount do.
template <class Test>
double meanAngle(double around, double halfWidth, double r0, double r1, int minCount, Test test) {
  double sx = 0, sy = 0;
  int n = 0;
  for (double r = r0; r <= r1; r += 0.004)
    for (double d = -halfWidth; d <= halfWidth; d += 0.1) {
      const double a = (around + d) * kDeg;
      if (!test(r * std::cos(a), r * std::sin(a))) continue;
      sx += std::cos(a);
      sy += std::sin(a);
      ++n;
    }
  if (n < minCount) return NAN;
  return std::atan2(sy, sx) / kDeg;
}

// Difference of two angles in degrees, folded into -180..180.
inline double angleBetween(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

// Where the scale mark nearest `around` sits: the mean of the white points
// within 2 degrees of it.
inline double markAngle(const Frame& f, double around, double r0, double r1) {
  return meanAngle(around, 2.0, r0, r1, 10, [&](double x, double y) { return brightness(f.at(x, y)) > 180; });
}

// The drum strip as GL samples it: bilinear, repeating.
struct Strip {
  explicit Strip(const std::string& path) { platform::loadBmp24(path, bmp); }
  bool loaded() const { return bmp.width > 0; }
  Rgb texel(double s, double t) const {
    const double fx = s * bmp.width - 0.5, fy = t * bmp.height - 0.5;
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const double ax = fx - x0, ay = fy - y0;
    Rgb out{0, 0, 0};
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx) {
        const int x = ((x0 + dx) % bmp.width + bmp.width) % bmp.width;
        const int y = ((y0 + dy) % bmp.height + bmp.height) % bmp.height;
        const double k = (dx ? ax : 1 - ax) * (dy ? ay : 1 - ay);
        const std::uint8_t* e = &bmp.rows[std::size_t(y) * bmp.stride + std::size_t(x) * 3];
        out.r += k * e[2];
        out.g += k * e[1];
        out.b += k * e[0];
      }
    return out;
  }
  platform::Bitmap24 bmp;
};

// Mean absolute difference (0-255) between two cells of a strip column.
inline double cellDifference(const Strip& strip, double s0, double s1, int a, int b) {
  double sum = 0;
  int n = 0;
  for (double v = 0.02; v < 0.98; v += 0.01)
    for (double u = 0.0; u <= 1.0; u += 0.02) {
      const double s = s0 + u * (s1 - s0);
      const Rgb p = strip.texel(s, (a + v) / drumgeo::kCells), q = strip.texel(s, (b + v) / drumgeo::kCells);
      sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
      n += 3;
    }
  return sum / n;
}

// Cells 10 to 12 repeat 0 to 2 (cell 0 too when zeroRepeats) and no two
// other cells look alike.
inline void expectDrumColumn(const Strip& strip, double s0, double s1, bool zeroRepeats) {
  for (int a = 0; a < drumgeo::kCells; ++a)
    for (int b = a + 1; b < drumgeo::kCells; ++b) {
      const bool same = b == a + 10 && (a > 0 || zeroRepeats);
      const double d = cellDifference(strip, s0, s1, a, b);
      if (same)
        EXPECT_LT(d, 4) << "cells " << a << " and " << b << " of s " << s0 << " to " << s1;
      else
        EXPECT_GT(d, 6) << "cells " << a << " and " << b << " of s " << s0 << " to " << s1;
    }
}

// A pointer quad from `back` to `tip` along the angle, half as wide as
// `half`: its points are left out of a window comparison.
struct Occluder {
  double angle, back, tip, half;
  bool covers(double x, double y) const {
    const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
    const double along = c * x + s * y, across = -s * x + c * y;
    return along >= back && along <= tip && std::abs(across) <= half;
  }
};

// Mean absolute difference (0-255) between what a counter window shows and
// the strip drawn with the given offset; tinted frames are compared with
// the tinted strip. Only the inner part of the window counts, so neighbours
// and edge filtering do not.
inline double windowError(const Frame& f, const Strip& strip, const drumgeo::Window& w, float offset, bool tinted,
                          const std::vector<Occluder>& occluders = {}) {
  const double pxPerUnit = f.size / 2.0;
  const int nu = std::max(6, int((w.x1 - w.x0) * pxPerUnit)), nv = std::max(6, int((w.y1 - w.y0) * pxPerUnit));
  double sum = 0;
  int n = 0;
  for (int j = nv / 8; j < nv - nv / 8; ++j)
    for (int i = nu / 8; i < nu - nu / 8; ++i) {
      const double u = (i + 0.5) / nu, v = (j + 0.5) / nv;
      const double x = w.x0 + u * (w.x1 - w.x0), y = w.y0 + v * (w.y1 - w.y0);
      if (std::any_of(occluders.begin(), occluders.end(), [&](const Occluder& o) { return o.covers(x, y); }))
        continue;
      Rgb want = strip.texel(w.s0 + u * (w.s1 - w.s0), w.t0 - offset + v * (w.t1 - w.t0));
      if (tinted) {
        want.r = want.r * 0.87 + 0.01 * 0.87 * 255;
        want.g = want.g * 0.51 + 0.01 * 0.51 * 255;
        want.b = want.b * 0.51 + 0.01 * 0.51 * 255;
      }
      const Rgb got = f.at(x, y);
      sum += std::abs(got.r - want.r) + std::abs(got.g - want.g) + std::abs(got.b - want.b);
      n += 3;
    }
  return n ? sum / n : 1e9;
}

// True when the window shows the strip at `offset` clearly better than half
// a cell either way, which tells a digit from its neighbours.
inline ::testing::AssertionResult showsOffset(const Frame& f, const Strip& strip, const drumgeo::Window& w,
                                             float offset, bool tinted, const std::vector<Occluder>& occluders = {}) {
  const double here = windowError(f, strip, w, offset, tinted, occluders);
  const double below = windowError(f, strip, w, offset - 0.5f * drumgeo::kCellStep, tinted, occluders);
  const double above = windowError(f, strip, w, offset + 0.5f * drumgeo::kCellStep, tinted, occluders);
  if (here < 15 && here < 0.4 * std::min(below, above)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "error " << here << " at the offset, " << below << " and " << above
                                       << " half a cell off";
}

}  // namespace dialprobe
