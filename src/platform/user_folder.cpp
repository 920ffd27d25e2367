#include "platform/user_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

std::string absoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return {};
  std::string folder = value;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string userConfigFolder() {
  std::string folder = absoluteEnv("XDG_CONFIG_HOME");
  if (!folder.empty()) return folder;
  folder = absoluteEnv("HOME");
  if (folder.empty()) return {};
  if (folder == "/") folder.clear();
  return folder + "/.config";
}

bool makeLastFolder(const std::string& folder) {
  return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

}  // namespace platform
