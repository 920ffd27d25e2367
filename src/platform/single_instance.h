#pragma once
#include <string>

namespace platform {

// Held for the whole run: a lock file in the runtime folder, locked with
// flock so that a crashed run never leaves it blocking.
class SingleInstance {
 public:
  // name is the lock's name, for example "a320-display-VANT-D320-IVAR-v1.1".
  explicit SingleInstance(const std::string& name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another process holds the lock.
  bool alreadyRunning() const { return alreadyRunning_; }
  const std::string& path() const { return path_; }
  // Why the lock file could not be opened (empty when it could).
  const std::string& error() const { return error_; }

  // $XDG_RUNTIME_DIR, else the temporary folder.
  static std::string runtimeFolder();

 private:
  std::string path_;
  std::string error_;
  int fd_ = -1;
  bool alreadyRunning_ = false;
};

// The lock's name: the program's file name without folder, "-", and the
// application tag.
std::string instanceName(const std::string& programPath);

}  // namespace platform
