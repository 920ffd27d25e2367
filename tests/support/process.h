// Running the built programs as a user would, and reading what they write.
#pragma once

#include <png.h>
#include <sys/wait.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testing_support {

struct ToolRun {
  int code;
  std::string output;  // stdout and stderr together
};

inline ToolRun runCommand(const std::string& command) {
  std::string out;
  std::FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return {-1, ""};
  std::array<char, 512> buf;
  while (std::fgets(buf.data(), buf.size(), p)) out += buf.data();
  const int status = ::pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

inline bool readPng(const std::string& path, std::vector<std::uint8_t>& rgba, int& w, int& h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGBA;
  rgba.resize(PNG_IMAGE_SIZE(image));
  w = int(image.width);
  h = int(image.height);
  return png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
}

}  // namespace testing_support
