#include "support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace testing_support {

using namespace std::chrono_literals;

pid_t spawnProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& cwd,
                   const std::string& log) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setpgid(0, 0);
  if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
  const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    dup2(fd, 1);
    dup2(fd, 2);
  }
  for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

int waitExit(pid_t pid, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

int stopProcess(pid_t pid) {
  if (pid <= 0) return -1;
  kill(-pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(20ms);
  }
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Xvfb::Xvfb(int width, int height) {
  int number = 90 + int(getpid() % 40);
  while (number < 200 && access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) ++number;
  display_ = ":" + std::to_string(number);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = spawnProcess({"Xvfb", display_, "-screen", "0", screen, "-nolisten", "tcp"}, {}, "",
                      "/tmp/a320-xvfb-" + std::to_string(number) + ".log");
  for (int i = 0; i < 250 && !up_; ++i) {
    up_ = access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0;
    if (!up_) std::this_thread::sleep_for(20ms);
  }
}

Xvfb::~Xvfb() { stopProcess(pid_); }

namespace {
std::uint32_t be32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 | std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}
int shiftOf(std::uint32_t m) {
  int s = 0;
  while (m && !(m & 1)) {
    m >>= 1;
    ++s;
  }
  return s;
}
}  // namespace

bool Xvfb::screenshot(std::vector<std::uint8_t>& rgba, int& w, int& h) const {
  const std::string path = "/tmp/a320-shot" + display_.substr(1) + ".xwd";
  const std::string cmd = "xwd -root -silent -display " + display_ + " > " + path;
  if (std::system(cmd.c_str()) != 0) return false;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 100) return false;
  const std::uint32_t headerSize = be32(d, 0), bytesPerLine = be32(d, 48);
  const std::uint32_t byteOrder = be32(d, 28), ncolors = be32(d, 76);
  w = int(be32(d, 16));
  h = int(be32(d, 20));
  const std::uint32_t rmask = be32(d, 56), gmask = be32(d, 60), bmask = be32(d, 64);
  const std::size_t start = headerSize + std::size_t(ncolors) * 12;
  // xwd may say 24 bits per pixel while it stores four bytes for each;
  // the row length tells.
  if (w <= 0 || h <= 0 || bytesPerLine != std::uint32_t(w) * 4 || d.size() < start + std::size_t(bytesPerLine) * h)
    return false;
  rgba.assign(std::size_t(w) * h * 4, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &d[start + std::size_t(y) * bytesPerLine + std::size_t(x) * 4];
      const std::uint32_t v = byteOrder == 0 ? (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24)
                                             : (std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
      std::uint8_t* o = &rgba[(std::size_t(y) * w + x) * 4];
      o[0] = std::uint8_t((v & rmask) >> shiftOf(rmask));
      o[1] = std::uint8_t((v & gmask) >> shiftOf(gmask));
      o[2] = std::uint8_t((v & bmask) >> shiftOf(bmask));
    }
  return true;
}

}  // namespace testing_support
