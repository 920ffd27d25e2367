#include "support/qt_main.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace testing_support {

std::string makeScratchFolder(const char* tag) {
  std::string t = std::string("/tmp/a320-") + tag + "-XXXXXX";
  const char* made = mkdtemp(t.data());
  return made ? made : "/tmp";
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace testing_support
