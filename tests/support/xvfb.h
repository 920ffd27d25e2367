#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Starts a process in its own process group with extra environment
// entries ("NAME=value"), output to log.
pid_t spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& cwd,
                   const std::string& log);
// SIGTERM to the group, then SIGKILL after two seconds. Returns the exit
// status as waitpid gives it, or -1 when it had to be killed.
int stopProcess(pid_t pid);
// Waits up to timeoutMs for the process to end by itself; its exit code,
// or -1 when it is still running (or was killed by a signal).
int waitExit(pid_t pid, int timeoutMs);

std::string slurp(const std::string& path);

// A virtual X server of the given size on a free display number.
class Xvfb {
 public:
  Xvfb(int width, int height);
  ~Xvfb();
  bool up() const { return up_; }
  const std::string& display() const { return display_; }
  // The whole screen as RGBA, top row first.
  bool screenshot(std::vector<std::uint8_t>& rgba, int& width, int& height) const;

 private:
  pid_t pid_ = -1;
  std::string display_;
  bool up_ = false;
};

// A real window manager (openbox) on a virtual X server: it frames,
// stacks and focuses windows the way a desktop does.
class WindowManager {
 public:
  explicit WindowManager(const Xvfb& x);
  ~WindowManager();
  // Managing the screen: it has announced itself on the root window.
  bool up() const { return up_; }
  const std::string& log() const { return log_; }

 private:
  pid_t pid_ = -1;
  std::string log_;
  bool up_ = false;
};

}  // namespace testing_support
