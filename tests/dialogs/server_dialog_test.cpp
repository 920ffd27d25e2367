// Net Conf.: the server dialog's checks and the receiver reopened on the
// new port, with datagrams sent over loopback.
#include "dialogs/server_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "dialogs/configuration_dialog.h"
#include "dialogs_support.h"
#include "host/instrument_window.h"
#include "support/loopback.h"
#include "support/xvfb.h"

using namespace dialog_testing;
using testing_support::LoopbackSender;

namespace {

// Threads that carry the program's own name: std::thread leaves it as it
// is, while Qt's and Mesa's helpers name theirs.
int threadCount() {
  const std::string self = testing_support::slurp("/proc/self/comm");
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/task")) {
    const std::string comm = testing_support::slurp((e.path() / "comm").string());
    n += comm == self;
  }
  return n;
}

// Waits until the receiver has counted more than `than` datagrams.
bool arrivesBeyond(const ReceiveLink& link, std::uint32_t than, int ms = 2000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (link.packetCounter() > than) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

std::vector<std::uint8_t> datagram(float word0) {
  std::vector<std::uint8_t> d(kFlightDataBytes, 0);
  std::memcpy(d.data(), &word0, 4);
  return d;
}

float word0(InstrumentWindow& w) {
  FlightDataBlock b;
  w.exchange().take(b);
  return b.f32(0);
}

class NetConf : public ::testing::Test {
 protected:
  // Fills the dialog's edits (null keeps a field) and presses OK.
  static void enter(ServerDialog* s, std::array<const char*, 5> texts) {
    for (int i = 0; i < 4; ++i)
      if (texts[std::size_t(i)]) s->partEdit(i)->setText(texts[std::size_t(i)]);
    if (texts[4]) s->portEdit()->setText(texts[4]);
    QTest::mouseClick(s->okButton(), Qt::LeftButton);
  }

  testing_support::RecordingSink sink;
  TestHost host;
};

TEST(ServerDialogSplit, AddressPartsAsTheTextHasThem) {
  using A = std::array<std::uint32_t, 4>;
  EXPECT_EQ(ServerDialog::splitAddress("127.0.0.1"), (A{127, 0, 0, 1}));
  EXPECT_EQ(ServerDialog::splitAddress("10.20"), (A{10, 20, 0, 0}));
  EXPECT_EQ(ServerDialog::splitAddress("1..3.4.5"), (A{1, 0, 3, 4}));
  EXPECT_EQ(ServerDialog::splitAddress(""), (A{0, 0, 0, 0}));
  EXPECT_EQ(ServerDialog::splitAddress("x.7y.300.-1"), (A{0, 7, 300, 4294967295u}));
  EXPECT_EQ(ServerDialog::splitAddress("99999999999.1.1.1"), (A{2147483647u, 1, 1, 1}));
}

TEST_F(NetConf, ShowsTheReceiverSettingsCancelTouchesNothingAndOkReopens) {
  ConfigurationDialog d(host);
  d.show();
  QStringList shown;
  whenModal<ServerDialog>([&](ServerDialog* s) {
    EXPECT_EQ(s->windowTitle(), "Server Configuration");
    EXPECT_EQ(s->okButton()->text(), "Ok");
    EXPECT_EQ(s->cancelButton()->text(), "Cancel");
    for (const char* t : {"IP address", "Port"}) EXPECT_TRUE(labelTexts(s).contains(t)) << t;
    for (int i = 0; i < 4; ++i) shown << s->partEdit(i)->text();
    shown << s->portEdit()->text();
    s->portEdit()->setText("4600");
    QTest::mouseClick(s->cancelButton(), Qt::LeftButton);
  });
  QTest::mouseClick(d.netConfButton(), Qt::LeftButton);
  EXPECT_EQ(shown, (QStringList{"127", "0", "0", "1", "4555"}));
  EXPECT_EQ(host.state.port, 4555);
  EXPECT_EQ(host.closes + host.opens, 0);
  EXPECT_FALSE(d.modified());

  // OK with the same values still reopens the receiver.
  host.state.port = testing_support::freeUdpPort();
  ASSERT_TRUE(host.openReceiver());
  whenModal<ServerDialog>([&](ServerDialog* s) { QTest::mouseClick(s->okButton(), Qt::LeftButton); });
  QTest::mouseClick(d.netConfButton(), Qt::LeftButton);
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(host.opens, 2);
  EXPECT_TRUE(host.link.receiverOpen());
  EXPECT_TRUE(d.modified());
}

TEST_F(NetConf, BadEntriesGiveTheFrameworkMessageAndKeepTheDialogOpen) {
  struct Case {
    std::array<const char*, 5> texts;
    int focus;  // edit that gets the focus: 0 to 3 parts, 4 port
    const char* message;
  };
  const Case cases[] = {
      {{"256", nullptr, nullptr, nullptr, nullptr}, 0, "Geben Sie bitte eine ganze Zahl zwischen 0 und 255 ein."},
      {{nullptr, nullptr, nullptr, nullptr, "70000"}, 4, "Geben Sie bitte eine ganze Zahl zwischen 1 und 65535 ein."},
      // Port 0 would bind whatever port the system picks: no data, no message.
      {{nullptr, nullptr, nullptr, nullptr, "0"}, 4, "Geben Sie bitte eine ganze Zahl zwischen 1 und 65535 ein."},
      {{nullptr, nullptr, nullptr, nullptr, "abc"}, 4, "Geben Sie bitte eine positive ganze Zahl ein."},
      {{nullptr, nullptr, "-1", nullptr, nullptr}, 2, "Geben Sie bitte eine positive ganze Zahl ein."},
      {{nullptr, nullptr, nullptr, "", nullptr}, 3, "Geben Sie bitte eine positive ganze Zahl ein."},
      {{nullptr, nullptr, nullptr, nullptr, "99999999999"}, 4,
       "Geben Sie bitte eine ganze Zahl zwischen 1 und 65535 ein."},
      // The first failing field stops the exchange.
      {{nullptr, "300", nullptr, nullptr, "abc"}, 1, "Geben Sie bitte eine ganze Zahl zwischen 0 und 255 ein."},
  };
  ConfigurationDialog d(host);
  d.show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    sink.messages.clear();
    bool open = false, focused = false;
    whenModal<ServerDialog>([&](ServerDialog* s) {
      enter(s, c.texts);
      open = s->isVisible();
      focused = s->focusWidget() == (c.focus < 4 ? s->partEdit(c.focus) : s->portEdit());
      QTest::mouseClick(s->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(d.netConfButton(), Qt::LeftButton);
    EXPECT_TRUE(open);
    EXPECT_TRUE(focused);
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
  }
  EXPECT_EQ(host.state.port, 4555);
  EXPECT_EQ(host.closes + host.opens, 0);
  EXPECT_FALSE(d.modified());
}

TEST_F(NetConf, ANewPortReopensTheReceiverThere) {
  const std::uint16_t oldPort = testing_support::freeUdpPort();
  host.state.port = oldPort;
  ASSERT_TRUE(host.openReceiver());
  LoopbackSender toOld(oldPort);
  std::uint32_t count = host.link.packetCounter();
  ASSERT_TRUE(toOld.send(datagram(1.0f)));
  ASSERT_TRUE(arrivesBeyond(host.link, count));

  std::uint16_t newPort = testing_support::freeUdpPort();
  while (newPort == oldPort) newPort = testing_support::freeUdpPort();
  ConfigurationDialog d(host);
  d.show();
  int threads = 0;  // counted with the dialog up: Qt starts threads of its own on the way
  whenModal<ServerDialog>([&](ServerDialog* s) {
    threads = threadCount();
    enter(s, {"127", "0", "0", "2", std::to_string(newPort).c_str()});
  });
  QTest::mouseClick(d.netConfButton(), Qt::LeftButton);
  EXPECT_EQ(host.state.port, newPort);
  EXPECT_EQ(host.state.address, "127.0.0.2");
  EXPECT_EQ(host.closes, 1);
  EXPECT_EQ(host.opens, 2);
  EXPECT_TRUE(host.link.receiverOpen());
  EXPECT_EQ(host.link.receiver().port(), newPort);
  EXPECT_EQ(threadCount(), threads);  // the old thread was joined, one new one runs
  EXPECT_TRUE(d.modified());

  count = host.link.packetCounter();
  ASSERT_TRUE(toOld.send(datagram(2.0f)));
  LoopbackSender toNew(newPort);
  ASSERT_TRUE(toNew.send(datagram(3.0f)));
  ASSERT_TRUE(arrivesBeyond(host.link, count));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(host.link.packetCounter(), count + 1);  // only the one to the new port
  EXPECT_EQ(word0(*host.ow.window), 3.0f);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST_F(NetConf, APortInUseShowsTheBindErrorLeavesNoThreadAndBlanksTheData) {
  host.state.port = testing_support::freeUdpPort();
  ASSERT_TRUE(host.openReceiver());
  LoopbackSender feed(host.state.port);
  const std::uint32_t count = host.link.packetCounter();
  ASSERT_TRUE(feed.send(datagram(5.0f)));
  ASSERT_TRUE(arrivesBeyond(host.link, count));
  ASSERT_EQ(word0(*host.ow.window), 5.0f);

  // Someone else holds the port the operator picks.
  auto busy = std::make_unique<BusyPort>();
  const std::uint16_t busyPort = busy->port;
  ASSERT_NE(busyPort, 0);

  ConfigurationDialog d(host);
  d.show();
  int threads = 0;
  whenModal<ServerDialog>([&](ServerDialog* s) {
    threads = threadCount();
    enter(s, {nullptr, nullptr, nullptr, nullptr, std::to_string(busyPort).c_str()});
  });
  QTest::mouseClick(d.netConfButton(), Qt::LeftButton);
  busy.reset();

  EXPECT_EQ(sink.messages, std::vector<std::string>{"Error bind(...)"});
  EXPECT_FALSE(host.link.receiverOpen());
  EXPECT_EQ(threadCount(), threads - 1);
  // Nothing receives any more and no watchdog runs: the last datagram must
  // not stay on the instruments.
  EXPECT_EQ(word0(*host.ow.window), 0.0f);
  // The new settings stay, for a later save or another try.
  EXPECT_EQ(host.state.port, busyPort);
  EXPECT_TRUE(d.modified());
}

}  // namespace
