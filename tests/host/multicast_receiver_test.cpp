// Receivers on a multicast group, in a network namespace of the test's
// own: several on one port, joined while open and gone from the group once
// closed.
#include <gtest/gtest.h>
#include <net/if.h>

#include <chrono>
#include <thread>
#include <vector>

#include "host/receive_link.h"
#include "host/udp_receiver.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/own_network.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

const char* const kGroup = "239.255.45.55";
const char* const kOtherGroup = "239.255.45.56";

std::vector<std::uint8_t> tagged(std::uint32_t tag, std::size_t n = 1024) {
  std::vector<std::uint8_t> d(n, 0);
  for (std::size_t i = 0; i < 4 && i < n; ++i) d[i] = std::uint8_t(tag >> (8 * i));
  return d;
}

// The tags of every block that arrives until the socket stays quiet.
std::vector<std::uint32_t> drain(UdpReceiver& r) {
  std::vector<std::uint32_t> tags;
  std::vector<std::uint8_t> b(1024);
  while (r.receive(b.data(), b.size(), 200)) tags.push_back(std::uint32_t(b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24));
  return tags;
}

TEST(UdpReceiverMulticast, TellsGroupsFromOtherAddresses) {
  struct {
    const char* text;
    bool group;
  } cases[] = {{"223.255.255.255", false}, {"224.0.0.0", true},  {"239.255.255.255", true}, {"240.0.0.0", false},
               {"127.0.0.1", false},       {"239.1.2", false},   {"", false},               {nullptr, false}};
  for (const auto& c : cases) EXPECT_EQ(UdpReceiver::isMulticast(c.text), c.group) << (c.text ? c.text : "null");
}

TEST(UdpReceiverMulticast, EveryReceiverOfTheGroupGetsEveryBlockAndNoOtherDatagram) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver first, second, elsewhere;
  ASSERT_TRUE(first.open(port, kGroup));
  ASSERT_TRUE(second.open(port, kGroup)) << "two receivers on one PC share the port";
  ASSERT_TRUE(elsewhere.open(port, kOtherGroup));
  ASSERT_TRUE(sink.messages.empty()) << sink.messages.front();

  LoopbackSender toGroup(port, kGroup), toOther(port, kOtherGroup), toPort(port);
  std::vector<std::uint8_t> b(1024);
  for (std::uint32_t tag = 1; tag <= 40; ++tag) {
    SCOPED_TRACE(tag);
    // Datagrams of any other length do not count, on a group as anywhere.
    ASSERT_TRUE(toGroup.send(tagged(1000 + tag, tag % 2 ? 1023 : 1025)));
    ASSERT_TRUE(toGroup.send(tagged(tag)));
    for (UdpReceiver* r : {&first, &second}) {
      EXPECT_FALSE(r->receive(b.data(), b.size(), 1000));
      ASSERT_TRUE(r->receive(b.data(), b.size(), 1000));
      EXPECT_EQ(b[0], tag);
    }
  }
  ASSERT_TRUE(toOther.send(tagged(77)));
  ASSERT_TRUE(toPort.send(tagged(99)));  // unicast to the port: no group's business

  EXPECT_TRUE(drain(first).empty());
  EXPECT_TRUE(drain(second).empty());
  EXPECT_EQ(drain(elsewhere), std::vector<std::uint32_t>{77});
  for (UdpReceiver* r : {&first, &second, &elsewhere}) r->close();
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST(UdpReceiverMulticast, JoinsWhileOpenAndLeavesOnCloseAndReopen) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  const int lo = int(if_nametoindex("lo"));
  UdpReceiver a, b;
  ASSERT_EQ(loopbackUsers(kGroup), 0);
  ASSERT_TRUE(a.open(port, kGroup));
  // Every interface that carries multicast: here only the loopback.
  ASSERT_EQ(a.joinedCount(), 1);
  EXPECT_EQ(a.joinedInterface(0), lo);
  EXPECT_EQ(loopbackUsers(kGroup), 1);
  ASSERT_TRUE(b.open(port, kGroup));
  EXPECT_EQ(loopbackUsers(kGroup), 2);
  a.close();
  EXPECT_EQ(loopbackUsers(kGroup), 1);
  EXPECT_EQ(a.joinedCount(), 0);

  // Opening again without a close first still leaves the old group.
  ASSERT_TRUE(b.open(port, kOtherGroup));
  EXPECT_EQ(loopbackUsers(kGroup), 0);
  EXPECT_EQ(loopbackUsers(kOtherGroup), 1);
  ASSERT_TRUE(b.open(port, "127.0.0.1"));
  EXPECT_EQ(loopbackUsers(kOtherGroup), 0);
  EXPECT_FALSE(b.multicast());
  EXPECT_EQ(b.joinedCount(), 0);
  b.close();
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST(UdpReceiverMulticast, JoinsOnTheNamedInterfaceOrSaysWhyNot) {
  SKIP_WITHOUT_OWN_NETWORK();
  const std::uint16_t port = freeUdpPort();
  struct {
    const char* interfaceName;
    const char* message;  // null: joins and receives
  } cases[] = {
      {"lo", nullptr},
      {"127.0.0.1", nullptr},  // an address of the interface
      {"eth9",
       "Error setsockopt(...): there is no network interface eth9 to join the multicast group 239.255.45.55 on. Name "
       "an interface of this PC (ip address shows them) in MULTICAST-IF of the settings file, or remove the key to "
       "join on every interface."},
      {"10.9.8.7", "Error setsockopt(...): there is no network interface 10.9.8.7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interfaceName);
    RecordingSink sink;
    UdpReceiver r;
    EXPECT_EQ(r.open(port, kGroup, c.interfaceName), c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(sink.messages.size(), 1u);
      EXPECT_EQ(sink.messages[0].rfind(c.message, 0), 0u) << sink.messages[0];
      EXPECT_EQ(loopbackUsers(kGroup), 0);
    } else {
      EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
      EXPECT_EQ(r.whereText(), std::string("group 239.255.45.55, port ") + std::to_string(port) + ", interface " +
                                   c.interfaceName);
      ASSERT_EQ(r.joinedCount(), 1);
      EXPECT_EQ(r.joinedInterface(0), int(if_nametoindex("lo")));
      LoopbackSender s(port, kGroup);
      ASSERT_TRUE(s.send(tagged(5)));
      EXPECT_EQ(drain(r), std::vector<std::uint32_t>{5});
    }
    r.close();
    EXPECT_EQ(loopbackUsers(kGroup), 0);
  }
}

TEST(UdpReceiverMulticast, UnicastKeepsThePortToItself) {
  SKIP_WITHOUT_OWN_NETWORK();
  // Sharing is for groups: a unicast receiver still holds its port alone,
  // and a group receiver cannot take a port that one holds, nor the other
  // way round; each failure is the bind message as before.
  struct {
    const char* first;
    const char* second;
  } cases[] = {{"127.0.0.1", "127.0.0.1"}, {"127.0.0.1", kGroup}, {kGroup, "127.0.0.1"}, {kGroup, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " then '" + c.second + "'");
    RecordingSink sink;
    const std::uint16_t port = freeUdpPort();
    UdpReceiver holder, late;
    ASSERT_TRUE(holder.open(port, c.first));
    EXPECT_FALSE(late.open(port, c.second));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error bind(...)"});
    late.close();
    holder.close();
  }
}

TEST(ReceiveLinkMulticast, TwoLinksOnOnePortEachCountEveryBlock) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  FlightDataExchange exA, exB;
  ReceiveLink a(exA), b(exB);
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(a.openReceiver(port, kGroup));
  ASSERT_TRUE(b.openReceiver(port, kGroup, "lo"));
  // Twice what one socket buffer holds, at a brisk feed's pace: both
  // threads keep up.
  LoopbackSender s(port, kGroup);
  const int blocks = 120;
  for (int i = 1; i <= blocks; ++i) {
    ASSERT_TRUE(s.send(tagged(std::uint32_t(i))));
    std::this_thread::sleep_for(4ms);
  }
  const auto end = std::chrono::steady_clock::now() + 2s;
  while ((a.packetCounter() < blocks + 1 || b.packetCounter() < blocks + 1) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(5ms);
  // The counter starts at 1.
  EXPECT_EQ(a.packetCounter(), std::uint32_t(blocks + 1));
  EXPECT_EQ(b.packetCounter(), std::uint32_t(blocks + 1));
  for (FlightDataExchange* ex : {&exA, &exB}) {
    FlightDataBlock last;
    ex->take(last);
    EXPECT_EQ(last.u32(0), std::uint32_t(blocks));
  }
  EXPECT_EQ(loopbackUsers(kGroup), 2);
  a.closeReceiver();
  b.closeReceiver();
  EXPECT_EQ(loopbackUsers(kGroup), 0);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

}  // namespace
