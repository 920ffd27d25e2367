// Installs the build into a fresh prefix and runs the programs from there,
// away from the build tree.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/udp_receiver.h"
#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/process.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = fs::temp_directory_path() / ("a320-install-" + std::to_string(::getpid()));
    fs::remove_all(prefix_);
    const ToolRun r = runCommand(std::string(A320_CMAKE_COMMAND) + " --install " + A320_BINARY_DIR + " --prefix " +
                      prefix_.string());
    installOutput_ = r.output;
    installed_ = r.code == 0;
  }
  static void TearDownTestSuite() { fs::remove_all(prefix_); }
  void SetUp() override { ASSERT_TRUE(installed_) << installOutput_; }

  static fs::path prefix_;
  static std::string installOutput_;
  static bool installed_;
};
fs::path Installed::prefix_;
std::string Installed::installOutput_;
bool Installed::installed_ = false;

TEST_F(Installed, LaysOutProgramsAndData) {
  const fs::path share = prefix_ / "share/a320-display";
  std::vector<std::string> programs = {"a320-feed", "a320-snapshot", "a320-bridge", "a320-display-start"};
#ifdef A320_WITH_DISPLAY
  programs.push_back("a320-display");
#endif
  for (const std::string& p : programs)
    EXPECT_EQ(::access((prefix_ / "bin" / p).c_str(), X_OK), 0) << "bin/" << p << " missing or not executable";
  int textures = 0;
  for (const auto& e : fs::directory_iterator(share / "Data")) textures += e.path().extension() == ".tex";
  int built = 0;
  for (const auto& e : fs::directory_iterator(fs::path(A320_BINARY_DIR) / "Data")) built += e.path().extension() == ".tex";
  EXPECT_GT(textures, 0);
  EXPECT_EQ(textures, built) << "every generated texture is installed";
  EXPECT_FALSE(fs::exists(share / "Data/.stamp"));
  EXPECT_TRUE(fs::is_regular_file(share / "scenarios/demo.scenario"));
  EXPECT_TRUE(fs::is_regular_file(share / "flightgear/a320-display.xml"));
  const std::string desktop = readFile(prefix_ / "share/applications/a320-display.desktop");
  EXPECT_NE(desktop.find("[Desktop Entry]"), std::string::npos);
  EXPECT_NE(desktop.find("\nExec=a320-display-start\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nType=Application\n"), std::string::npos) << desktop;
}

TEST_F(Installed, SnapshotFindsItsDataInTheInstalledFolder) {
  const std::string out = (fs::temp_directory_path() / ("a320-installed-clock-" + std::to_string(::getpid()) + ".png")).string();
  // As the launcher does: the installed folder is the working directory.
  const ToolRun r = runCommand("cd " + (prefix_ / "share/a320-display").string() + " && " + (prefix_ / "bin/a320-snapshot").string() +
                    " --out " + out + " --instrument A320_CLOCK --size 256x256 --set 2=12 --set 3=34 --set 4=56");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output.find("Data File missing"), std::string::npos) << r.output;
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(readPng(out, px, w, h));
  ASSERT_EQ(w, 256);
  ASSERT_EQ(h, 256);
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  EXPECT_EQ(reader.read(px, w, h, {0, 0, 256, 256, 1, 2}, 0.0f, false), "12:34:56");
  std::remove(out.c_str());
}

TEST_F(Installed, FeedPlaysTheInstalledDemo) {
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(port, "127.0.0.1"));
  const ToolRun feed = runCommand("cd / && " + (prefix_ / "bin/a320-feed").string() + " --scenario demo --count 2 --port " +
                       std::to_string(port));
  ASSERT_EQ(feed.code, 0) << feed.output;
  FlightDataBlock b;
  ASSERT_TRUE(r.receive(b.bytes.data(), b.bytes.size(), 1000));
  EXPECT_EQ(b.u32(221) & 2u, 2u);
  r.close();
}

TEST_F(Installed, LauncherRunsTheDisplayInItsFolder) {
  // The installed launcher beside a stand-in display that reports where it
  // was started.
  const fs::path root = prefix_ / "launcher";
  fs::create_directories(root / "bin");
  fs::create_directories(root / "share/a320-display");
  fs::create_directories(root / "home");
  fs::copy_file(prefix_ / "bin/a320-display-start", root / "bin/a320-display-start");
  std::ofstream(root / "bin/a320-display") << "#!/bin/sh\necho \"in $(pwd) with $*\"\n";
  fs::permissions(root / "bin/a320-display", fs::perms::owner_all);
  const ToolRun r = runCommand("cd / && env -u XDG_CONFIG_HOME HOME=" + (root / "home").string() + " " +
                    (root / "bin/a320-display-start").string() + " one two");
  ASSERT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(r.output, "in " + fs::canonical(root / "share/a320-display").string() + " with one two\n");
  EXPECT_TRUE(fs::is_directory(root / "home/.config/VANT")) << "the settings file's folder can be made";
}

}  // namespace
