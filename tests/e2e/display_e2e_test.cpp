// The real program in a real X server: started as an operator starts it,
// fed datagrams over loopback, read back off the screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/qt_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// A folder laid out like an installation: the program, its Data folder and
// a settings file that shows the gauges by itself.
struct Installation {
  Installation() : dir(makeScratchFolder("e2e")), runtime(makeScratchFolder("e2e-run")) {
    fs::create_symlink(A320_TEST_DATA_DIR, dir + "/Data");
    fs::copy_file(std::string(A320_BINARY_DIR) + "/src/a320-display", dir + "/a320-display");
    fs::permissions(dir + "/a320-display", fs::perms::owner_all);
    writeFile(dir + "/a320-display.cfg", "[SYSTEM]\nAUTOSHOW=1\n");
  }
  ~Installation() {
    fs::remove_all(dir);
    fs::remove_all(runtime);
  }
  pid_t start(const Xvfb& x, const std::string& program, const std::string& log) const {
    return spawnProcess({dir + "/" + program},
                        {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime,
                         "XDG_CONFIG_HOME=" + runtime},
                        dir, log);
  }
  std::string dir, runtime;
};

TEST(DisplayEndToEnd, ClockFollowsDatagramsAndBlanksWhenTheFeedStops) {
  ASSERT_EQ(std::system("command -v Xvfb xwd xdotool >/dev/null"), 0)
      << "needs the Debian packages xvfb, x11-apps and xdotool";
  Xvfb x(1280, 1024);
  ASSERT_TRUE(x.up());
  Installation inst;
  const pid_t app = inst.start(x, "a320-display", "/tmp/a320-e2e-app.log");
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
  for (int i = 0; i < 200 && shown != "12:34:56"; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(40ms);
    if (i % 5 == 4 && x.screenshot(px, w, h)) shown = reader.read(px, w, h, clock, 0.0f, false);
  }
  EXPECT_EQ(shown, "12:34:56") << slurp("/tmp/a320-e2e-app.log");
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
  if (!front) std::system(("cp /tmp/a320-shot" + x.display().substr(1) + ".xwd /tmp/a320-e2e-failed.xwd").c_str());
  EXPECT_TRUE(front) << "right click did not bring the status dialog forward (screen in /tmp/a320-e2e-failed.xwd)";
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
