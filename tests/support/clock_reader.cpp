#include "support/clock_reader.h"

#include <algorithm>
#include <cmath>

#include "platform/bmp.h"
#include "standby/clock.h"
#include "standby/clock_geometry.h"

namespace testing_support {

ClockReader::ClockReader(const std::string& stripPath) {
  platform::Bitmap24 b;
  if (!platform::loadBmp24(stripPath, b)) return;
  width = b.width;
  height = b.height;
  stride = b.stride;
  bgr = std::move(b.rows);
}

void ClockReader::texel(double u, double t, double out[3]) const {
  const double fx = u * width - 0.5, fy = t * height - 0.5;
  const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
  const double ax = fx - x0, ay = fy - y0;
  out[0] = out[1] = out[2] = 0;
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) {
      // The strip repeats, as the default wrap mode does.
      const int x = ((x0 + dx) % width + width) % width, y = ((y0 + dy) % height + height) % height;
      const double k = (dx ? ax : 1 - ax) * (dy ? ay : 1 - ay);
      const std::uint8_t* e = &bgr[std::size_t(y) * stride + std::size_t(x) * 3];
      out[0] += k * e[2];
      out[1] += k * e[1];
      out[2] += k * e[0];
    }
}

double ClockReader::cellError(const std::vector<std::uint8_t>& rgba, int iw, int ih, const Placement& p, float rot,
                              bool tinted, int column, double t0, double t1) const {
  using namespace clockgeo;
  const double a = rot * M_PI / 180.0, c = std::cos(a), s = std::sin(a);
  const double x0 = kCellsLeft + kCellWidth * column;
  double sum = 0;
  int n = 0;
  // One sample per screen pixel of the cell, inner part only, so that the
  // neighbouring cells and edge filtering do not count.
  const int nu = std::max(8, int(p.width * kCellWidth / 2)), nv = std::max(14, int(p.height * (kCellTop - kCellBottom) / 2));
  for (int j = nv / 10; j < nv - nv / 10; ++j)
    for (int i = nu / 10; i < nu - nu / 10; ++i) {
      const double u = (i + 0.5) / nu, v = (j + 0.5) / nv;
      const double nx = x0 + u * kCellWidth, ny = kCellBottom + v * (kCellTop - kCellBottom);
      const double rx = c * nx - s * ny, ry = s * nx + c * ny;
      const int px = int(std::floor(p.x + (rx + 1) / 2 * p.width));
      const int pyUp = int(std::floor(p.y + (ry + 1) / 2 * p.height));
      if (px < 0 || px >= iw || pyUp < 0 || pyUp >= ih) continue;
      const std::uint8_t* got = &rgba[(std::size_t(ih - 1 - pyUp) * iw + px) * 4];
      // The texel under the pixel centre, filtered as GL_LINEAR does.
      const double t = t0 + v * (t1 - t0);
      double want[3];
      texel(u, t, want);
      if (tinted) {
        const double k[3] = {0.87, 0.51, 0.51};
        for (int q = 0; q < 3; ++q) want[q] = want[q] * k[q] + 0.01 * k[q] * 255;
      }
      for (int q = 0; q < 3; ++q) sum += std::abs(double(got[q]) - want[q]);
      n += 3;
    }
  return n ? sum / n : 1e9;
}

std::string ClockReader::read(const std::vector<std::uint8_t>& rgba, int iw, int ih, const Placement& p, float rot,
                              bool tinted) const {
  std::string text;
  for (int column = 0; column < 8; ++column) {
    char best = '?';
    double bestError = 1e9;
    auto consider = [&](char ch, double t0, double t1) {
      const double e = cellError(rgba, iw, ih, p, rot, tinted, column, t0, t1);
      if (e < bestError) {
        bestError = e;
        best = ch;
      }
    };
    for (int d = 0; d <= 9; ++d) {
      double t0, t1;
      Clock::digitCell(d, t0, t1);
      consider(char('0' + d), t0, t1);
    }
    consider(':', clockgeo::kColonBottom, clockgeo::kColonTop);
    // Filtering and scaling blur edges a little; a real match stays far
    // below this, a wrong glyph far above.
    text += bestError < 12.0 ? best : '?';
  }
  return text;
}

}  // namespace testing_support
