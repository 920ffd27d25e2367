#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "instruments/instrument.h"

namespace testing_support {

// Reads the eight cells of a clock drawn in an RGBA picture (top row
// first) back into text such as "12:34:56", by matching every cell against
// every cell of the digit strip file. A cell that matches nothing well
// reads as '?'.
struct ClockReader {
  explicit ClockReader(const std::string& stripPath);
  bool loaded() const { return width > 0; }

  std::string read(const std::vector<std::uint8_t>& rgba, int imageWidth, int imageHeight, const Placement& p,
                   float rotationDegrees, bool tinted) const;

  // Mean absolute difference (0-255) of one cell against strip cell
  // [t0, t1]; exposed so tests can show how clear a match is.
  double cellError(const std::vector<std::uint8_t>& rgba, int imageWidth, int imageHeight, const Placement& p,
                   float rotationDegrees, bool tinted, int column, double t0, double t1) const;

  void texel(double u, double t, double out[3]) const;
  int width = 0, height = 0, stride = 0;
  std::vector<std::uint8_t> bgr;
};

}  // namespace testing_support
