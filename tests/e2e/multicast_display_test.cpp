// One feed, several displays: the status dialog and the server dialog on a
// multicast group, and a separate copy of the program beside receivers of
// this process, all in a network namespace of the test's own on a virtual
// X server.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "dialogs/configuration_dialog.h"
#include "dialogs/server_dialog.h"
#include "dialogs_support.h"
#include "host/instrument_window.h"
#include "host/receive_link.h"
#include "host/status_dialog.h"
#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/own_network.h"
#include "support/qt_main.h"
#include "support/qt_test_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using namespace std::chrono_literals;
using dialog_testing::whenModal;
namespace fs = std::filesystem;

namespace {

const char* kProgram = "a320-multicast-x-test";
const char* kFile = "a320-multicast-x-test.cfg";
const char* const kGroup = "239.255.45.55";

std::vector<std::uint8_t> tagged(float word0) {
  std::vector<std::uint8_t> d(kFlightDataBytes, 0);
  std::memcpy(d.data(), &word0, 4);
  return d;
}

// Word 0 of the status dialog's block once `expected` arrived, or whatever
// it holds after half a second.
float arrived(StatusDialog& d, float expected) {
  FlightDataBlock b;
  for (int i = 0; i < 50; ++i) {
    d.instrumentWindow()->exchange().take(b);
    if (b.f32(0) == expected) break;
    QTest::qWait(10);
  }
  return b.f32(0);
}

// The status line's second line, as the operator reads it.
QString receiverLine(StatusDialog& d) {
  d.renderTick();
  for (const QLabel* l : d.findChildren<QLabel*>())
    if (l->text() == d.statusText()) return d.statusText().section('\n', 1);
  return "(no label shows the status text)";
}

TEST(MulticastStatus, StatusLineSaysWhereTheReceiverListens) {
  SKIP_WITHOUT_OWN_NETWORK();
  const std::string port = std::to_string(freeUdpPort());
  struct {
    std::string settings;
    std::string line;
    bool message;
  } cases[] = {
      {"IP-ADDR=127.0.0.1\n", "Receiving: port " + port, false},
      {"", "Receiving: port " + port, false},
      {"IP-ADDR=239.255.45.55\n", "Receiving: group 239.255.45.55, port " + port, false},
      {"IP-ADDR=239.255.45.55\nMULTICAST-IF=lo\n", "Receiving: group 239.255.45.55, port " + port + ", interface lo",
       false},
      {"IP-ADDR=239.255.45.55\nMULTICAST-IF=eth9\n",
       "Not receiving: group 239.255.45.55, port " + port + ", interface eth9 could not be opened", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    RecordingSink sink;
    writeFile(kFile, "[SYSTEM]\nVERSION=v1.1\nPORT=" + port + "\n" + c.settings);
    StatusDialog d(kProgram);
    d.show();
    d.showGauges();
    ASSERT_NE(d.instrumentWindow(), nullptr);
    EXPECT_NE(d.statusText().indexOf("Mesa"), -1) << "the OpenGL version stays first";
    EXPECT_EQ(receiverLine(d).toStdString(), c.line);
    EXPECT_EQ(sink.messages.size(), c.message ? 1u : 0u);
    EXPECT_EQ(d.watchdogRunning(), !c.message);
    d.shutdown();
  }
}

TEST(MulticastNetConf, FromAGroupToUnicastAndBackKeepsTheInterfaceKey) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  const std::string p = std::to_string(port);
  writeFile(kFile, "[SYSTEM]\nVERSION=v1.1\nIP-ADDR=239.255.45.55\nPORT=" + p + "\nMULTICAST-IF=lo\n");
  StatusDialog d(kProgram);
  d.show();
  d.showGauges();
  ASSERT_NE(d.instrumentWindow(), nullptr);
  LoopbackSender toGroup(port, kGroup), toPort(port);

  EXPECT_EQ(loopbackUsers(kGroup), 1);
  ASSERT_TRUE(toGroup.send(tagged(1)));
  EXPECT_EQ(arrived(d, 1), 1.0f);

  // Net Conf. with the given address parts, then Save when asked.
  const auto netConf = [&](std::array<const char*, 4> parts, bool save) {
    whenModal<ConfigurationDialog>([&](ConfigurationDialog* c) {
      whenModal<ServerDialog>([&](ServerDialog* s) {
        for (int i = 0; i < 4; ++i) s->partEdit(i)->setText(parts[std::size_t(i)]);
        QTest::mouseClick(s->okButton(), Qt::LeftButton);
      });
      QTest::mouseClick(c->netConfButton(), Qt::LeftButton);
      if (save) QTest::mouseClick(c->saveButton(), Qt::LeftButton);
      c->reject();
    });
    QTest::mouseClick(d.configurationButton(), Qt::LeftButton);
  };

  netConf({"127", "0", "0", "1"}, false);
  EXPECT_EQ(receiverLine(d).toStdString(), "Receiving: port " + p);
  EXPECT_EQ(loopbackUsers(kGroup), 0) << "the group is left";
  ASSERT_TRUE(toGroup.send(tagged(2)));
  EXPECT_EQ(arrived(d, 2), 1.0f) << "a group nobody here joined";
  ASSERT_TRUE(toPort.send(tagged(3)));
  EXPECT_EQ(arrived(d, 3), 3.0f);

  netConf({"239", "255", "45", "55"}, true);
  EXPECT_EQ(receiverLine(d).toStdString(), "Receiving: group 239.255.45.55, port " + p + ", interface lo");
  EXPECT_EQ(loopbackUsers(kGroup), 1);
  ASSERT_TRUE(toPort.send(tagged(4)));
  EXPECT_EQ(arrived(d, 4), 3.0f) << "bound to the group, unicast to the port stays out";
  ASSERT_TRUE(toGroup.send(tagged(5)));
  EXPECT_EQ(arrived(d, 5), 5.0f);

  // The hand-written interface key survives the save.
  const std::string text = slurp(kFile);
  EXPECT_NE(text.find("IP-ADDR=239.255.45.55\n"), std::string::npos) << text;
  EXPECT_NE(text.find("MULTICAST-IF=lo\n"), std::string::npos) << text;
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  d.shutdown();
  EXPECT_EQ(loopbackUsers(kGroup), 0);
}

// A copy of the program in a folder of its own, as on a second display PC.
struct Copy {
  Copy(const std::string& settings) : dir(makeScratchFolder("multicast-copy")), runtime(dir + "/run") {
    fs::create_directory(runtime);
    fs::create_symlink(A320_TEST_DATA_DIR, dir + "/Data");
    fs::copy_file(std::string(A320_BINARY_DIR) + "/src/a320-display", dir + "/a320-display");
    writeFile(dir + "/a320-display.cfg", settings);
  }
  ~Copy() { fs::remove_all(dir); }
  pid_t start(const Xvfb& x) const {
    return spawnProcess({dir + "/a320-display"},
                        {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime,
                         "XDG_CONFIG_HOME=" + runtime},
                        dir, dir + "/log");
  }
  std::string dir, runtime;
};

TEST(MulticastDisplay, OneBridgeFeedsAProgramCopyAndTwoReceiversOfThisProcess) {
  SKIP_WITHOUT_OWN_NETWORK();
  ASSERT_EQ(std::system("command -v Xvfb >/dev/null"), 0) << "needs the Debian package xvfb";
  RecordingSink sink;
  std::ifstream capture(std::string(A320_CAPTURES_DIR) + "/flightgear-ufo-manoeuvres.txt");
  ASSERT_TRUE(capture) << "the FlightGear captures are missing from " << A320_CAPTURES_DIR;
  std::vector<std::string> packets;
  for (std::string line; packets.size() < 60 && std::getline(capture, line);)
    if (!line.empty() && line[0] != '#') packets.push_back(line.substr(line.find('\t') + 1) + "\n");
  int h = 0, m = 0, s = 0;
  ASSERT_EQ(std::sscanf(packets.back().c_str(), "%d,%d,%d,", &h, &m, &s), 3);
  char last[16];
  std::snprintf(last, sizeof last, "%02d:%02d:%02d", h, m, s);

  const std::uint16_t port = freeUdpPort(), listen = freeUdpPort();
  Xvfb x(1280, 1024);
  ASSERT_TRUE(x.up());
  Copy copy("[SYSTEM]\nVERSION=v1.1\nAUTOSHOW=1\nIP-ADDR=239.255.45.55\nPORT=" + std::to_string(port) + "\n");
  const pid_t app = copy.start(x);
  FlightDataExchange exA, exB, exOther;
  ReceiveLink a(exA), b(exB), other(exOther);
  ASSERT_TRUE(a.openReceiver(port, kGroup));
  ASSERT_TRUE(b.openReceiver(port, kGroup));
  ASSERT_TRUE(other.openReceiver(port, "239.255.45.56"));
  // The copy has joined once the kernel counts three members.
  for (int i = 0; i < 500 && loopbackUsers(kGroup) < 3; ++i) std::this_thread::sleep_for(20ms);
  ASSERT_EQ(loopbackUsers(kGroup), 3) << "the program copy never joined:\n" << slurp(copy.dir + "/log");

  std::FILE* bridge = ::popen((std::string(A320_TOOLS_DIR) + "/a320-bridge --listen-port " + std::to_string(listen) +
                               " --host " + kGroup + " --port " + std::to_string(port) + " --count " +
                               std::to_string(packets.size()) + " 2>&1")
                                  .c_str(),
                              "r");
  ASSERT_NE(bridge, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, bridge), nullptr);  // listening
  LoopbackSender flightgear(listen);
  for (const std::string& p : packets) {
    ASSERT_TRUE(flightgear.send(p.data(), p.size()));
    std::this_thread::sleep_for(10ms);
  }
  std::string output;
  while (std::fgets(line, sizeof line, bridge)) output += line;
  EXPECT_EQ(WEXITSTATUS(::pclose(bridge)), 0) << output;

  // Counters start at 1.
  for (int i = 0; i < 100 && (a.packetCounter() <= packets.size() || b.packetCounter() <= packets.size()); ++i)
    std::this_thread::sleep_for(10ms);
  EXPECT_EQ(a.packetCounter(), packets.size() + 1);
  EXPECT_EQ(b.packetCounter(), packets.size() + 1);
  EXPECT_EQ(other.packetCounter(), 1u);

  // The pilot's clock on the copy's screen shows the last packet's time.
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  ASSERT_TRUE(reader.loaded());
  const Placement clock{70, 650, 200, 200, 1, 2};
  std::vector<std::uint8_t> px;
  int w = 0, hgt = 0;
  std::string shown;
  for (int i = 0; i < 40 && shown != last; ++i) {
    std::this_thread::sleep_for(50ms);
    if (x.screenshot(px, w, hgt)) shown = reader.read(px, w, hgt, clock, 0.0f, false);
  }
  EXPECT_EQ(shown, last) << slurp(copy.dir + "/log");

  // Ending the copy takes its membership with it.
  EXPECT_EQ(waitExit(app, 0), -1) << "the copy ended early:\n" << slurp(copy.dir + "/log");
  stopProcess(app);
  EXPECT_EQ(loopbackUsers(kGroup), 2);
  a.closeReceiver();
  b.closeReceiver();
  other.closeReceiver();
  EXPECT_EQ(loopbackUsers(kGroup), 0);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

}  // namespace

int main(int argc, char** argv) {
  // Before Qt, Xvfb or any thread starts, so that all of them live in it.
  const std::string why = enterOwnNetwork();
  if (!why.empty()) std::fprintf(stderr, "no network namespace of our own, multicast tests skip: %s\n", why.c_str());
  return runQtTests(argc, argv, "multicast-x", 1280, 1024, kProgram);
}
