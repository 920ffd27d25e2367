// The real program in a real X server: datagrams over loopback must show
// up on screen, and a feed that stops must blank the instruments.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/clock_reader.h"
#include "support/loopback.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& cwd,
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

void stop(pid_t pid) {
  if (pid <= 0) return;
  kill(-pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(20ms);
  }
  kill(-pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t be32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 | std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}

// A screenshot of the whole screen as RGBA, top row first, from xwd.
bool screenshot(const std::string& display, std::vector<std::uint8_t>& rgba, int& w, int& h) {
  const std::string path = "/tmp/a320-e2e-shot.xwd";
  const std::string cmd = "xwd -root -silent -display " + display + " > " + path;
  if (std::system(cmd.c_str()) != 0) return false;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 100) return false;
  const std::uint32_t headerSize = be32(d, 0), bpp = be32(d, 44), bytesPerLine = be32(d, 48);
  const std::uint32_t byteOrder = be32(d, 28), ncolors = be32(d, 76);
  w = int(be32(d, 16));
  h = int(be32(d, 20));
  const std::uint32_t rmask = be32(d, 56), gmask = be32(d, 60), bmask = be32(d, 64);
  const std::size_t start = headerSize + std::size_t(ncolors) * 12;
  if (bpp != 32 || d.size() < start + std::size_t(bytesPerLine) * h) return false;
  auto shift = [](std::uint32_t m) { int s = 0; while (m && !(m & 1)) { m >>= 1; ++s; } return s; };
  rgba.assign(std::size_t(w) * h * 4, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint8_t* p = &d[start + std::size_t(y) * bytesPerLine + std::size_t(x) * 4];
      const std::uint32_t v = byteOrder == 0 ? (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24)
                                             : (std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
      std::uint8_t* o = &rgba[(std::size_t(y) * w + x) * 4];
      o[0] = std::uint8_t((v & rmask) >> shift(rmask));
      o[1] = std::uint8_t((v & gmask) >> shift(gmask));
      o[2] = std::uint8_t((v & bmask) >> shift(bmask));
    }
  return true;
}

TEST(DisplayEndToEnd, ClockFollowsDatagramsAndBlanksWhenTheFeedStops) {
  if (access("/usr/bin/Xvfb", X_OK) != 0 || std::system("command -v xwd >/dev/null") != 0)
    GTEST_FAIL() << "Xvfb and xwd are needed (Debian packages xvfb and x11-apps)";
  int number = 90;
  while (number < 140 && access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0) ++number;
  const std::string display = ":" + std::to_string(number);
  const pid_t xvfb = spawn({"Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {}, "",
                           "/tmp/a320-e2e-xvfb.log");
  bool up = false;
  for (int i = 0; i < 250 && !up; ++i) {
    up = access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0;
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_TRUE(up) << slurp("/tmp/a320-e2e-xvfb.log");

  const pid_t app = spawn({std::string(A320_BINARY_DIR) + "/src/a320-display"},
                          {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"}, A320_BINARY_DIR, "/tmp/a320-e2e-app.log");
  LoopbackSender sender(4555);
  FlightDataBlock b;
  b.setF32(2, 12.0f);
  b.setF32(3, 34.0f);
  b.setF32(4, 56.0f);

  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  ASSERT_TRUE(reader.loaded());
  // Default clock slot on a 1280 x 1024 screen (scale 1).
  const Placement clock{70, 650, 200, 200, 1, 2};
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  std::string shown;
  for (int i = 0; i < 150 && shown != "12:34:56"; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(40ms);
    if (i % 5 == 4 && screenshot(display, px, w, h)) shown = reader.read(px, w, h, clock, 0.0f, false);
  }
  EXPECT_EQ(shown, "12:34:56") << slurp("/tmp/a320-e2e-app.log");
  ASSERT_EQ(waitpid(app, nullptr, WNOHANG), 0) << "a320-display ended early:\n" << slurp("/tmp/a320-e2e-app.log");

  // A new second, then the feed stops: within two watchdog periods the
  // block is blank and the clock shows zeros.
  b.setF32(4, 57.0f);
  for (int i = 0; i < 10; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(30ms);
  }
  ASSERT_TRUE(screenshot(display, px, w, h));
  EXPECT_EQ(reader.read(px, w, h, clock, 0.0f, false), "12:34:57");
  const auto stopped = std::chrono::steady_clock::now();
  std::string blank;
  while (std::chrono::steady_clock::now() - stopped < 12s && blank != "00:00:00") {
    std::this_thread::sleep_for(500ms);
    if (screenshot(display, px, w, h)) blank = reader.read(px, w, h, clock, 0.0f, false);
  }
  const auto took = std::chrono::steady_clock::now() - stopped;
  EXPECT_EQ(blank, "00:00:00");
  EXPECT_GE(took, 4s);  // not before the watchdog has seen one quiet period

  stop(app);
  stop(xvfb);
}

}  // namespace
