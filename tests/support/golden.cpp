#include "support/golden.h"

#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "support/process.h"

namespace testing_support {

namespace {

// RGB keeps the stored references a quarter smaller; the screen shows no alpha.
bool writePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int w, int h, bool withAlpha,
              std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h);
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> rgb;
  const void* data = rgba.data();
  if (!withAlpha) {
    image.format = PNG_FORMAT_RGB;
    rgb.reserve(std::size_t(w) * h * 3);
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) rgb.insert(rgb.end(), &rgba[i], &rgba[i + 3]);
    data = rgb.data();
  }
  if (!png_image_write_to_file(&image, path.c_str(), 0, data, 0, nullptr)) {
    error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

bool makeFolder(const std::string& dir) { return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST; }

std::vector<std::uint8_t> differencePicture(const std::vector<std::uint8_t>& expected,
                                            const std::vector<std::uint8_t>& actual, int channelTolerance) {
  std::vector<std::uint8_t> out(expected.size());
  for (std::size_t i = 0; i + 3 < expected.size(); i += 4) {
    int d = 0;
    for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(expected[i + c]) - int(actual[i + c])));
    if (d > channelTolerance) {
      const auto level = std::uint8_t(std::min(255, 128 + 2 * d));
      out[i] = level;
      out[i + 1] = 0;
      out[i + 2] = level;
    } else {
      const int grey = (int(expected[i]) + int(expected[i + 1]) + int(expected[i + 2])) / 9;
      out[i] = out[i + 1] = out[i + 2] = std::uint8_t(grey);
    }
    out[i + 3] = 255;
  }
  return out;
}

}  // namespace

PictureDifference comparePictures(const std::vector<std::uint8_t>& expected, const std::vector<std::uint8_t>& actual,
                                  int width, int height, int channelTolerance) {
  PictureDifference r;
  const std::size_t n = std::size_t(width) * height;
  for (std::size_t p = 0; p < n; ++p) {
    int d = 0;
    for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(expected[4 * p + c]) - int(actual[4 * p + c])));
    r.largest = std::max(r.largest, d);
    if (d <= channelTolerance) continue;
    if (r.differing++ == 0) {
      r.firstX = int(p % std::size_t(width));
      r.firstY = int(p / std::size_t(width));
    }
  }
  return r;
}

testing::AssertionResult MatchesReference(const std::string& name, const std::vector<std::uint8_t>& rgba, int width,
                                          int height, PictureTolerance tolerance, const std::string& referenceDir,
                                          const std::string& diffDir) {
  if (rgba.size() != std::size_t(width) * height * 4)
    return testing::AssertionFailure() << name << ": the drawn picture holds " << rgba.size() << " bytes, not " << width
                                       << "x" << height << " RGBA";
  const std::string reference = referenceDir + "/" + name + ".png";
  std::string error;
  const char* update = std::getenv("A320_UPDATE_GOLDEN");
  if (update && std::strcmp(update, "1") == 0) {
    if (!writePng(reference, rgba, width, height, false, error)) return testing::AssertionFailure() << error;
    return testing::AssertionSuccess() << "wrote " << reference;
  }

  std::vector<std::uint8_t> expected;
  int w = 0, h = 0;
  if (!readPng(reference, expected, w, h))
    return testing::AssertionFailure() << "no reference picture " << reference
                                       << "; draw it with A320_UPDATE_GOLDEN=1 and look at it before committing";
  if (w != width || h != height)
    return testing::AssertionFailure() << reference << " is " << w << "x" << h << ", the drawn picture " << width
                                       << "x" << height;

  const PictureDifference d = comparePictures(expected, rgba, width, height, tolerance.channel);
  if (d.differing <= tolerance.pixels) return testing::AssertionSuccess();

  testing::AssertionResult failure = testing::AssertionFailure();
  failure << name << ": " << d.differing << " pixels differ by more than " << tolerance.channel << " (at most "
          << tolerance.pixels << " may), largest difference " << d.largest << ", first at x " << d.firstX << ", y "
          << d.firstY << " from the top left";
  const std::string actualPath = diffDir + "/" + name + ".png";
  const std::string diffPath = diffDir + "/" + name + ".diff.png";
  if (makeFolder(diffDir) && writePng(actualPath, rgba, width, height, false, error) &&
      writePng(diffPath, differencePicture(expected, rgba, tolerance.channel), width, height, false, error))
    failure << "; drawn: " << actualPath << ", difference: " << diffPath;
  else
    failure << "; " << (error.empty() ? "cannot create " + diffDir : error);
  failure << ". If the change is meant, refresh the references with A320_UPDATE_GOLDEN=1";
  return failure;
}

}  // namespace testing_support
