// a320-feed and a320-bridge sending to a multicast group, in a network
// namespace of the test's own: every display that joined gets every
// block, with the TTL and interface asked for.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <map>
#include <string>
#include <vector>

#include "host/udp_receiver.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/own_network.h"
#include "support/process.h"

using namespace testing_support;

namespace {

const std::string kFeed = std::string(A320_TOOLS_DIR) + "/a320-feed";
const std::string kBridge = std::string(A320_TOOLS_DIR) + "/a320-bridge";
const char* const kGroup = "239.255.45.55";

std::vector<FlightDataBlock> drain(UdpReceiver& r) {
  std::vector<FlightDataBlock> got;
  FlightDataBlock b;
  while (r.receive(b.bytes.data(), b.bytes.size(), 300)) got.push_back(b);
  return got;
}

// A member of the group that reads the TTL each datagram arrived with.
class TtlListener {
 public:
  TtlListener(std::uint16_t port, const char* group) : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd_, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    ::inet_aton(group, &at.sin_addr);
    ok_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    ip_mreqn m{};
    m.imr_multiaddr = at.sin_addr;
    ok_ = ok_ && ::setsockopt(fd_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) == 0;
  }
  ~TtlListener() { ::close(fd_); }
  bool ok() const { return ok_; }
  // The TTLs of what arrives until the socket stays quiet.
  std::vector<int> ttls() {
    std::vector<int> seen;
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 300) != 1) return seen;
      char data[2048], control[256];
      iovec io{data, sizeof data};
      msghdr m{};
      m.msg_iov = &io;
      m.msg_iovlen = 1;
      m.msg_control = control;
      m.msg_controllen = sizeof control;
      if (::recvmsg(fd_, &m, 0) < 0) return seen;
      int ttl = -1;
      for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c))
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
      seen.push_back(ttl);
    }
  }

 private:
  int fd_;
  bool ok_ = false;
};

TEST(FeedToolMulticast, EveryDisplayOfTheGroupGetsEveryBlock) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver left, right, otherGroup;
  ASSERT_TRUE(left.open(port, kGroup));
  ASSERT_TRUE(right.open(port, kGroup));
  ASSERT_TRUE(otherGroup.open(port, "239.255.45.56"));
  // A group of 239.0.0.0/8 needs no --allow-remote.
  const ToolRun feed = runCommand(kFeed + " --host " + kGroup + " --port " + std::to_string(port) +
                                  " --count 40 --rate 400 --set 2=12 --set 17=#3");
  ASSERT_EQ(feed.code, 0) << feed.output;
  EXPECT_NE(feed.output.find("sent 40 datagrams to 239.255.45.55:" + std::to_string(port)), std::string::npos)
      << feed.output;
  for (UdpReceiver* r : {&left, &right}) {
    const std::vector<FlightDataBlock> got = drain(*r);
    ASSERT_EQ(got.size(), 40u);
    EXPECT_EQ(got.back().f32(2), 12.0f);
    EXPECT_EQ(got.back().u32(17), 3u);
  }
  EXPECT_TRUE(drain(otherGroup).empty());
  for (UdpReceiver* r : {&left, &right, &otherGroup}) r->close();
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST(FeedToolMulticast, SendsWithTheAskedTtlThroughTheAskedInterface) {
  SKIP_WITHOUT_OWN_NETWORK();
  struct {
    const char* options;
    int ttl;
  } cases[] = {
      {"", 1},  // stays on the local network
      {" --ttl 5", 5},
      {" --ttl 0", 0},  // this machine only: its own displays still get it
      {" --interface lo --ttl 3", 3},
      {" --interface 127.0.0.1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const std::uint16_t port = freeUdpPort();
    TtlListener listener(port, kGroup);
    ASSERT_TRUE(listener.ok());
    const ToolRun feed =
        runCommand(kFeed + " --host " + kGroup + " --port " + std::to_string(port) + " --count 2" + c.options);
    ASSERT_EQ(feed.code, 0) << feed.output;
    EXPECT_EQ(listener.ttls(), (std::vector<int>{c.ttl, c.ttl}));
  }
}

TEST(FeedToolMulticast, RefusesWhatItMayNotOrCannotDo) {
  SKIP_WITHOUT_OWN_NETWORK();
  struct {
    std::string command;
    int code;
    const char* says;  // null: nothing to look for
  } cases[] = {
      {kFeed + " --host 239.1.2.3 --count 0", 0, nullptr},
      {kFeed + " --host 224.1.2.3 --count 0", 2, "is not in 239.0.0.0/8"},
      {kFeed + " --host 224.1.2.3 --count 0 --allow-remote", 0, nullptr},
      {kFeed + " --host 192.0.2.1 --count 0", 2, "add --allow-remote"},
      {kFeed + " --host 239.1.2.3 --ttl 256 --count 0", 2, "--ttl wants 0 to 255"},
      {kFeed + " --host 239.1.2.3 --ttl -1 --count 0", 2, "--ttl wants 0 to 255"},
      {kFeed + " --host 239.1.2.3 --ttl two --count 0", 2, "--ttl wants 0 to 255"},
      {kFeed + " --ttl 2 --count 0", 2, "--ttl and --interface go with a multicast --host"},
      {kFeed + " --interface lo --count 0", 2, "--ttl and --interface go with a multicast --host"},
      {kFeed + " --host 239.1.2.3 --interface eth9 --count 1", 1, "there is no network interface 'eth9'"},
      {kFeed + " --host 239.1.2.3 --interface 10.9.8.7 --count 1", 1, "cannot send through interface '10.9.8.7'"},
      {kFeed + " --record /tmp/a320-never.scenario --host 239.1.2.3 --ttl 2", 2, "--ttl is for sending"},
      {kFeed + " --record /tmp/a320-never.scenario --host 224.1.2.3", 2, "is not in 239.0.0.0/8"},
      {kBridge + " --host 239.1.2.3 --ttl 300", 2, "--ttl wants 0 to 255"},
      {kBridge + " --host 224.1.2.3", 2, "is not in 239.0.0.0/8"},
      {kBridge + " --interface lo", 2, "--ttl and --interface go with a multicast --host"},
      {kBridge + " --host 239.1.2.3 --interface eth9", 1, "there is no network interface 'eth9'"},
  };
  for (const auto& c : cases) {
    const ToolRun r = runCommand(c.command);
    EXPECT_EQ(r.code, c.code) << c.command << "\n" << r.output;
    if (c.says) {
      EXPECT_NE(r.output.find(c.says), std::string::npos) << c.command << "\n" << r.output;
    }
  }
}

TEST(FeedToolMulticast, RecordsWhatTheGroupCarriesBesideARunningDisplay) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver display;
  ASSERT_TRUE(display.open(port, kGroup));
  const std::string file = "/tmp/a320-group-" + std::to_string(::getpid()) + ".scenario";
  std::FILE* recorder = ::popen((kFeed + " --record " + file + " --host " + kGroup + " --port " +
                                 std::to_string(port) + " --count 3 --interface lo 2>&1")
                                    .c_str(),
                                "r");
  ASSERT_NE(recorder, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, recorder), nullptr);
  EXPECT_NE(std::string(line).find("recording what arrives"), std::string::npos) << line;
  const ToolRun feed =
      runCommand(kFeed + " --host " + kGroup + " --port " + std::to_string(port) + " --count 3 --rate 100 --set 25=250");
  ASSERT_EQ(feed.code, 0) << feed.output;
  std::string output;
  while (std::fgets(line, sizeof line, recorder)) output += line;
  EXPECT_EQ(WEXITSTATUS(::pclose(recorder)), 0) << output;
  EXPECT_NE(output.find("recorded 3 datagrams"), std::string::npos) << output;
  std::ifstream written(file);
  const std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("25:=250"), std::string::npos) << text;
  EXPECT_EQ(drain(display).size(), 3u);
  display.close();
  std::remove(file.c_str());
}

TEST(BridgeToolMulticast, ForwardsEachFlightGearPacketToEveryDisplay) {
  SKIP_WITHOUT_OWN_NETWORK();
  RecordingSink sink;
  std::ifstream capture(std::string(A320_CAPTURES_DIR) + "/flightgear-c172p-parked.txt");
  ASSERT_TRUE(capture) << "the FlightGear captures are missing from " << A320_CAPTURES_DIR;
  std::vector<std::string> packets;
  for (std::string line; packets.size() < 30 && std::getline(capture, line);)
    packets.push_back(line.substr(line.find('\t') + 1) + "\n");

  const std::uint16_t display = freeUdpPort(), listen = freeUdpPort();
  UdpReceiver first, second;
  ASSERT_TRUE(first.open(display, kGroup));
  ASSERT_TRUE(second.open(display, kGroup));
  std::FILE* bridge = ::popen((kBridge + " --listen-port " + std::to_string(listen) + " --host " + kGroup +
                               " --port " + std::to_string(display) + " --count 30 --interface lo 2>&1")
                                  .c_str(),
                              "r");
  ASSERT_NE(bridge, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, bridge), nullptr);
  EXPECT_NE(std::string(line).find("sending to 239.255.45.55"), std::string::npos) << line;
  LoopbackSender flightgear(listen);
  for (const std::string& p : packets) {
    ASSERT_TRUE(flightgear.send(p.data(), p.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::string output;
  while (std::fgets(line, sizeof line, bridge)) output += line;
  EXPECT_EQ(WEXITSTATUS(::pclose(bridge)), 0) << output;
  EXPECT_NE(output.find("sent 30 blocks"), std::string::npos) << output;
  const std::vector<FlightDataBlock> a = drain(first), b = drain(second);
  ASSERT_EQ(a.size(), 30u);
  ASSERT_EQ(b.size(), 30u);
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].bytes, b[i].bytes) << i;
  // The clock words carry the time of day that each packet has first.
  for (std::size_t i = 0; i < a.size(); ++i) {
    int h = -1, m = -1, s = -1;
    ASSERT_EQ(std::sscanf(packets[i].c_str(), "%d,%d,%d,", &h, &m, &s), 3) << packets[i];
    EXPECT_EQ(a[i].f32(2), float(h)) << i;
    EXPECT_EQ(a[i].f32(3), float(m)) << i;
    EXPECT_EQ(a[i].f32(4), float(s)) << i;
  }
  first.close();
  second.close();
}

}  // namespace
