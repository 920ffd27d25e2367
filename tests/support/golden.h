#pragma once
// Reference pictures: a drawn picture is compared with a stored PNG, and
// where they differ the drawn picture and a difference picture are written
// beside the build for a look. With A320_UPDATE_GOLDEN=1 in the environment
// the drawn picture replaces the reference instead (after a reviewed change).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct PictureTolerance {
  // A pixel differs when one of its channels is off by more than this.
  int channel = 2;
  // How many pixels may differ before the pictures count as different.
  int pixels = 0;
};

struct PictureDifference {
  int differing = 0;   // pixels beyond the channel tolerance
  int largest = 0;     // largest channel difference seen
  int firstX = -1, firstY = -1;  // first differing pixel, top row first
};

// Both pictures RGBA, top row first, of the same size.
PictureDifference comparePictures(const std::vector<std::uint8_t>& expected, const std::vector<std::uint8_t>& actual,
                                  int width, int height, int channelTolerance);

// The reference is <referenceDir>/<name>.png (RGB); on a mismatch
// <diffDir>/<name>.png (what was drawn) and <name>.diff.png (the reference
// dimmed, differing pixels in magenta, brighter for larger differences)
// are written and named in the failure.
testing::AssertionResult MatchesReference(const std::string& name, const std::vector<std::uint8_t>& rgba, int width,
                                          int height, PictureTolerance tolerance = {},
                                          const std::string& referenceDir = A320_GOLDEN_DIR,
                                          const std::string& diffDir = A320_GOLDEN_DIFF_DIR);

}  // namespace testing_support
