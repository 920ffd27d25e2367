#include "support/xvfb.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

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

// Xvfb picks a free display itself and tells its number through -displayfd:
// choosing one here raced with other test programs starting their own.
Xvfb::Xvfb(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string log = "/tmp/a320-xvfb-" + std::to_string(getpid()) + ".log";
  pid_ = spawnProcess({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp"}, {}, "",
                      log);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&p, 1, 5000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (c != '\n' || number.empty()) return;
  display_ = ":" + number;
  up_ = true;
}

Xvfb::~Xvfb() { stopProcess(pid_); }

WindowManager::WindowManager(const Xvfb& x) {
  log_ = "/tmp/a320-openbox" + x.display().substr(1) + ".log";
  pid_ = spawnProcess({"openbox", "--sm-disable"}, {"DISPLAY=" + x.display()}, "", log_);
  // A window manager sets _NET_SUPPORTING_WM_CHECK on the root once it runs.
  const std::string ask = "xprop -display " + x.display() + " -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'";
  for (int i = 0; i < 250 && !up_; ++i) {
    up_ = std::system(ask.c_str()) == 0;
    if (!up_) std::this_thread::sleep_for(20ms);
  }
}

WindowManager::~WindowManager() { stopProcess(pid_); }

// Read straight from the server: xwd mixes up windows of different depths
// (the instruments' window beside 24-bit dialogs) and then writes rows of
// three-byte pixels under a header that says four.
bool Xvfb::screenshot(std::vector<std::uint8_t>& rgba, int& w, int& h) const {
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  if (!c || xcb_connection_has_error(c)) {
    if (c) xcb_disconnect(c);
    return false;
  }
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  w = screen->width_in_pixels;
  h = screen->height_in_pixels;
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, std::uint16_t(w), std::uint16_t(h), ~0u),
      nullptr);
  const bool ok = image && screen->root_depth == 24 &&
                  xcb_get_image_data_length(image) == w * h * 4;  // 24-bit pixels in 32-bit words
  if (ok) {
    const std::uint8_t* p = xcb_get_image_data(image);
    rgba.assign(std::size_t(w) * h * 4, 255);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
      rgba[i * 4] = p[i * 4 + 2];  // stored blue, green, red, unused
      rgba[i * 4 + 1] = p[i * 4 + 1];
      rgba[i * 4 + 2] = p[i * 4];
    }
  }
  std::free(image);
  xcb_disconnect(c);
  return ok;
}

}  // namespace testing_support
