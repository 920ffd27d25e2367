#include "host/udp_receiver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "support/loopback.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

TEST(UdpReceiver, OpenFillsTextsAndKeepsDefaultAddress) {
  RecordingSink sink;
  UdpReceiver r;
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(r.open(port, ""));
  EXPECT_STREQ(r.address(), "127.0.0.1");
  EXPECT_EQ(std::string(r.portText()), std::to_string(port));
  r.close();
  ASSERT_TRUE(r.open(port, "10.1.2.3"));  // kept, but the socket still listens on all interfaces
  EXPECT_STREQ(r.address(), "10.1.2.3");
  LoopbackSender s(port);
  std::vector<std::uint8_t> buffer(1024);
  ASSERT_TRUE(s.send(std::vector<std::uint8_t>(1024, 1)));
  EXPECT_TRUE(r.receive(buffer.data(), buffer.size(), 1000));
  r.close();
}

TEST(UdpReceiver, PortInUseReportsBindAndStops) {
  RecordingSink sink;
  UdpReceiver first, second;
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(first.open(port, "127.0.0.1"));
  EXPECT_FALSE(second.open(port, "127.0.0.1"));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "Error bind(...)");
  // The failed socket stays held until close, which then releases it.
  EXPECT_TRUE(second.isOpen());
  EXPECT_TRUE(second.close());
  EXPECT_FALSE(second.isOpen());
  first.close();
  EXPECT_EQ(sink.messages.size(), 1u);
}

TEST(UdpReceiver, ReceiveOnClosedSocketFailsAtOnce) {
  UdpReceiver r;
  std::vector<std::uint8_t> buffer(1024);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(r.receive(buffer.data(), buffer.size(), 1000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(UdpReceiver, ValidAddress) {
  struct {
    const char* text;
    bool valid;
  } cases[] = {
      {"127.0.0.1", true},     {"192.168.1.20", true}, {"0.0.0.0", true},   {"255.255.255.254", true},
      {"255.255.255.255", false}, {"1.2.3", false},    {"1.2.3.4.5", false}, {".1.2.3", false},
      {"1..2.3", false},       {"", false},            {"localhost", false}, {"1.2.3.256", false},
      {nullptr, false},
  };
  for (const auto& c : cases) EXPECT_EQ(UdpReceiver::validAddress(c.text), c.valid) << (c.text ? c.text : "null");
}

TEST(UdpReceiver, ReceiveBufferGrantedAcceptsLinuxDoubling) {
  struct {
    int reported;
    bool granted;
  } cases[] = {{61440, true}, {122880, true}, {212992, false}, {61439, false}, {0, false}, {4608, false}};
  for (const auto& c : cases)
    EXPECT_EQ(UdpReceiver::receiveBufferGranted(61440, c.reported), c.granted) << c.reported;
}

}  // namespace
