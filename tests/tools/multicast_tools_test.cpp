// a320-feed and a320-bridge with a multicast group, in a network namespace
// of the test's own: the TTL and interface asked for, what they refuse,
// and recording beside a running display.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
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

}  // namespace
