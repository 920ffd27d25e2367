#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

std::string SingleInstance::runtimeFolder() {
  const char* run = std::getenv("XDG_RUNTIME_DIR");
  if (run && *run) return run;
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

std::string instanceName(const std::string& programPath) {
  const std::string name = programPath + "-VANT-D320-IVAR-v1.1";
  const auto slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

SingleInstance::SingleInstance(const std::string& name) : path_(runtimeFolder() + "/" + name + ".lock") {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    // Without a lock file we cannot tell; better to run than to refuse.
    error_ = std::strerror(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) alreadyRunning_ = true;
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}

}  // namespace platform
