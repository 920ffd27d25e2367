#pragma once
// a320-bridge as a child process: its output goes to a file, and it can be
// stopped with SIGTERM as Ctrl-C would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

class BridgeProcess {
 public:
  explicit BridgeProcess(std::vector<std::string> args) {
    static int n = 0;
    log_ = ::testing::TempDir() + "/bridge-" + std::to_string(::getpid()) + "-" + std::to_string(n++) + ".log";
    args.insert(args.begin(), std::string(A320_TOOLS_DIR) + "/a320-bridge");
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(fd, 1);
      ::dup2(fd, 2);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
  }
  ~BridgeProcess() {
    if (pid_ > 0) stop();
  }
  // Ctrl-C; the exit status.
  int stop() {
    ::kill(pid_, SIGTERM);
    return wait();
  }
  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string output() const {
    std::ifstream in(log_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  pid_t pid_ = -1;
  std::string log_;
};

}  // namespace testing_support
