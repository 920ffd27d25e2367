#include "support/own_network.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <net/route.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

std::string& refusal() {
  static std::string text = "enterOwnNetwork() was not called";
  return text;
}

bool writeTo(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
  ::close(fd);
  return ok;
}

std::string failed(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string configureLoopback() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return failed("socket");
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  std::string error;
  if (::ioctl(fd, SIOCGIFFLAGS, &request) != 0) {
    error = failed("reading the loopback's flags");
  } else {
    request.ifr_flags = short(request.ifr_flags | IFF_UP | IFF_MULTICAST);
    if (::ioctl(fd, SIOCSIFFLAGS, &request) != 0) error = failed("bringing the loopback up with multicast");
  }
  if (error.empty()) {
    // 224.0.0.0/4 through the loopback, as a LAN's default route carries it:
    // senders need not name an interface.
    rtentry route{};
    auto* dst = reinterpret_cast<sockaddr_in*>(&route.rt_dst);
    auto* mask = reinterpret_cast<sockaddr_in*>(&route.rt_genmask);
    dst->sin_family = mask->sin_family = AF_INET;
    dst->sin_addr.s_addr = htonl(0xE0000000u);
    mask->sin_addr.s_addr = htonl(0xF0000000u);
    route.rt_flags = RTF_UP;
    char device[] = "lo";
    route.rt_dev = device;
    if (::ioctl(fd, SIOCADDRT, &route) != 0) error = failed("routing 224.0.0.0/4 to the loopback");
  }
  ::close(fd);
  return error;
}

}  // namespace

std::string enterOwnNetwork() {
  const uid_t uid = ::getuid();
  const gid_t gid = ::getgid();
  std::string& why = refusal();
  if (::unshare(CLONE_NEWNET) != 0) {
    // Without the right to do that here, a user namespace of our own
    // grants it inside.
    const std::string plain = failed("unshare(CLONE_NEWNET)");
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
      why = plain + "; " + failed("unshare(CLONE_NEWUSER | CLONE_NEWNET)");
      return why;
    }
    writeTo("/proc/self/setgroups", "deny");
    if (!writeTo("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
        !writeTo("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n")) {
      why = failed("mapping our user into the new namespace");
      return why;
    }
  }
  why = configureLoopback();
  return why;
}

const std::string& ownNetworkRefusal() { return refusal(); }

int loopbackUsers(const std::string& group) {
  std::ifstream in("/proc/net/igmp");
  std::string line;
  bool onLoopback = false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    if (!line.empty() && line[0] != '\t') {
      // "1\tlo        :     1      V3": an interface's header.
      std::string index, device;
      fields >> index >> device;
      onLoopback = device == "lo";
      continue;
    }
    std::string hex;
    int users = 0;
    if (!onLoopback || !(fields >> hex >> users)) continue;
    // The kernel prints the address as a number in this machine's order.
    in_addr a{};
    a.s_addr = std::uint32_t(std::stoul(hex, nullptr, 16));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    if (group == text) return users;
  }
  return 0;
}

}  // namespace testing_support
