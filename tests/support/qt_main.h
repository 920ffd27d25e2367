#pragma once
#include <string>

namespace testing_support {
// A folder made for the test run, removed at exit: working directory and
// per-user configuration folder of the Qt tests live there.
std::string makeScratchFolder(const char* tag);
// Writes text to path (creating or replacing it).
void writeFile(const std::string& path, const std::string& text);
}  // namespace testing_support
