// The real program in a real X server: started as an operator starts it,
// fed datagrams over loopback, read back off the screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/png_file.h"
#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/qt_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A folder laid out like an installation: the program, its Data folder and
// a settings file that shows the gauges by itself and receives on a port
// that was free a moment ago.
struct Installation {
  Installation() : dir(makeScratchFolder("e2e")), runtime(makeScratchFolder("e2e-run")), port(freeUdpPort()) {
    fs::create_symlink(A320_TEST_DATA_DIR, dir + "/Data");
    fs::copy_file(std::string(A320_BINARY_DIR) + "/src/a320-display", dir + "/a320-display");
    fs::permissions(dir + "/a320-display", fs::perms::owner_all);
    writeFile(dir + "/a320-display.cfg",
              "[SYSTEM]\nVERSION=v1.1\nAUTOSHOW=1\nPORT=" + std::to_string(port) + "\n");
  }
  ~Installation() {
    fs::remove_all(dir);
    fs::remove_all(runtime);
  }
  // env adds to the environment; it may name QT_QPA_PLATFORM itself.
  pid_t start(const Xvfb& x, const std::string& program, const std::string& log,
              std::vector<std::string> env = {"QT_QPA_PLATFORM=xcb"}) const {
    env.insert(env.end(), {"DISPLAY=" + x.display(), "XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + runtime});
    return spawnProcess({dir + "/" + program}, env, dir, log);
  }
  std::string dir, runtime;
  std::uint16_t port;
};

// Keeps the screen for a failure message.
std::string keep(const std::vector<std::uint8_t>& rgba, int w, int h, const std::string& name) {
  const std::string path = "/tmp/a320-e2e-" + name + ".png";
  std::string error;
  return platform::writePngRgba(path, w, h, rgba, &error) ? " (screen in " + path + ")" : "";
}

// Sends the clock block until the clock slot reads it back off the screen.
std::string clockShown(const Xvfb& x, const LoopbackSender& sender, const FlightDataBlock& b, const Placement& clock,
                       std::vector<std::uint8_t>& px, int& w, int& h) {
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  std::string shown;
  for (int i = 0; i < 200 && shown != "12:34:56"; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(40ms);
    if (i % 5 == 4 && x.screenshot(px, w, h)) shown = reader.read(px, w, h, clock, 0.0f, false);
  }
  return shown;
}

TEST(DisplayEndToEnd, ClockFollowsDatagramsAndBlanksWhenTheFeedStops) {
  ASSERT_EQ(std::system("command -v Xvfb xdotool >/dev/null"), 0) << "needs the Debian packages xvfb and xdotool";
  Xvfb x(1280, 1024);
  ASSERT_TRUE(x.up());
  Installation inst;
  const pid_t app = inst.start(x, "a320-display", "/tmp/a320-e2e-app.log");
  LoopbackSender sender(inst.port);
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
  EXPECT_EQ(clockShown(x, sender, b, clock, px, w, h), "12:34:56") << slurp("/tmp/a320-e2e-app.log");
  ASSERT_EQ(waitExit(app, 0), -1) << "a320-display ended early:\n" << slurp("/tmp/a320-e2e-app.log");

  // A right click on the instruments brings the status dialog to the front
  // (it sits centred at three quarters of the screen height); a left click
  // gives the front back to the instruments.
  auto dialogInFront = [&] {
    if (!x.screenshot(px, w, h)) return false;
    const std::uint8_t* p = &px[(std::size_t(768) * w + 640) * 4];
    return p[0] > 150 && p[1] > 150 && p[2] > 150;  // the dialog's light face
  };
  EXPECT_FALSE(dialogInFront());
  const std::string click = "DISPLAY=" + x.display() + " xdotool mousemove 700 300 click ";
  ASSERT_EQ(std::system((click + "3").c_str()), 0);
  bool front = false;
  for (int i = 0; i < 20 && !front; ++i) {
    std::this_thread::sleep_for(100ms);
    front = dialogInFront();
  }
  EXPECT_TRUE(front) << "right click did not bring the status dialog forward" << keep(px, w, h, "right-click");
  ASSERT_EQ(std::system((click + "1").c_str()), 0);
  for (int i = 0; i < 20 && front; ++i) {
    std::this_thread::sleep_for(100ms);
    front = dialogInFront();
  }
  EXPECT_FALSE(front) << "left click did not give the front back to the instruments";

  // A new second, then the feed stops: within two watchdog periods the
  // block is blank and the clock shows zeros.
  b.setF32(4, 57.0f);
  for (int i = 0; i < 10; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(30ms);
  }
  ASSERT_TRUE(x.screenshot(px, w, h));
  EXPECT_EQ(reader.read(px, w, h, clock, 0.0f, false), "12:34:57");
  const auto stopped = std::chrono::steady_clock::now();
  std::string blank;
  while (std::chrono::steady_clock::now() - stopped < 12s && blank != "00:00:00") {
    std::this_thread::sleep_for(500ms);
    if (x.screenshot(px, w, h)) blank = reader.read(px, w, h, clock, 0.0f, false);
  }
  const auto took = std::chrono::steady_clock::now() - stopped;
  EXPECT_EQ(blank, "00:00:00");
  EXPECT_GE(took, 4s);  // not before the watchdog has seen one quiet period
  stopProcess(app);
}

// A desktop drawn at twice the scale (QT_SCALE_FACTOR=2, or 200 % in the
// desktop's settings): the instruments still fill the monitor, placed in its
// physical pixels as the settings file has them, not in its lower-left
// quarter at half size.
TEST(DisplayEndToEnd, ScaledDesktopKeepsTheMonitorLayout) {
  ASSERT_EQ(std::system("command -v Xvfb >/dev/null"), 0) << "needs the Debian package xvfb";
  Xvfb x(1280, 1024);
  ASSERT_TRUE(x.up());
  Installation inst;
  const pid_t app =
      inst.start(x, "a320-display", "/tmp/a320-e2e-scaled.log", {"QT_QPA_PLATFORM=xcb", "QT_SCALE_FACTOR=2"});
  LoopbackSender sender(inst.port);
  FlightDataBlock b;
  b.setF32(2, 12.0f);
  b.setF32(3, 34.0f);
  b.setF32(4, 56.0f);
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  const std::string shown = clockShown(x, sender, b, Placement{70, 650, 200, 200, 1, 2}, px, w, h);
  EXPECT_EQ(shown, "12:34:56") << slurp("/tmp/a320-e2e-scaled.log") << keep(px, w, h, "scaled");
  stopProcess(app);
}

TEST(DisplayEndToEnd, SecondStartIsRefusedACopyUnderAnotherNameRuns) {
  ASSERT_EQ(std::system("command -v Xvfb xdotool >/dev/null"), 0) << "needs the Debian packages xvfb and xdotool";
  Xvfb x(1280, 1024);
  ASSERT_TRUE(x.up());
  Installation inst;
  writeFile(inst.dir + "/a320-display.cfg", "");  // no auto-show: the dialog alone
  const pid_t first = inst.start(x, "a320-display", "/tmp/a320-e2e-first.log");
  std::this_thread::sleep_for(1500ms);
  ASSERT_EQ(waitExit(first, 0), -1) << slurp("/tmp/a320-e2e-first.log");

  const pid_t second = inst.start(x, "a320-display", "/tmp/a320-e2e-second.log");
  // The refusal is a message box; confirm it the way an operator would.
  int code = -1;
  for (int i = 0; i < 40 && code == -1; ++i) {
    std::this_thread::sleep_for(250ms);
    const std::string press = "DISPLAY=" + x.display() +
                              " xdotool search --sync --onlyvisible --name '' >/dev/null 2>&1; DISPLAY=" +
                              x.display() + " xdotool key Return >/dev/null 2>&1";
    if (std::system(press.c_str()) != 0) continue;
    code = waitExit(second, 200);
  }
  EXPECT_EQ(code, 1) << slurp("/tmp/a320-e2e-second.log");
  if (code == -1) stopProcess(second);
  EXPECT_EQ(waitExit(first, 0), -1) << "the first instance must be untouched";

  fs::copy_file(inst.dir + "/a320-display", inst.dir + "/a320-display-copy");
  fs::permissions(inst.dir + "/a320-display-copy", fs::perms::owner_all);
  const pid_t copy = inst.start(x, "a320-display-copy", "/tmp/a320-e2e-copy.log");
  EXPECT_EQ(waitExit(copy, 2000), -1) << "the copy must keep running:\n" << slurp("/tmp/a320-e2e-copy.log");
  stopProcess(copy);
  stopProcess(first);
}

}  // namespace
