#include "host/udp_receiver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/message_box.h"

namespace {

ip_mreqn membership(const char* group, int interfaceIndex) {
  ip_mreqn m{};
  ::inet_aton(group, &m.imr_multiaddr);
  m.imr_ifindex = interfaceIndex;
  return m;
}

// The index of the interface a name or an IPv4 address of ours names; 0
// when there is none.
int interfaceIndex(const char* text) {
  in_addr wanted{};
  if (::inet_aton(text, &wanted) == 0) return int(::if_nametoindex(text));
  ifaddrs* all = nullptr;
  if (::getifaddrs(&all) != 0) return 0;
  int found = 0;
  for (const ifaddrs* i = all; i && !found; i = i->ifa_next)
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET &&
        reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr == wanted.s_addr)
      found = int(::if_nametoindex(i->ifa_name));
  ::freeifaddrs(all);
  return found;
}

}  // namespace

bool UdpReceiver::open(std::uint16_t port, const char* address, const char* interfaceName) {
  // A socket still open here would keep its port and its groups.
  if (socket_ >= 0) close();
  socket_ = -1;
  if (!address || !*address) address = "127.0.0.1";
  std::snprintf(address_, sizeof address_, "%s", address);
  std::snprintf(interface_, sizeof interface_, "%s", interfaceName ? interfaceName : "");
  port_ = port;
  std::snprintf(portText_, sizeof portText_, "%d", int(port));
  multicast_ = isMulticast(address_);
  joinedCount_ = 0;

  // There is no socket library to start on this system: the first step
  // always succeeds.
  socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) {
    platform::showError("Error socket(...)");
    return false;
  }
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  if (multicast_) {
    // Several copies of the program on one PC share the group's port. Bound
    // to the group, a socket sees that group only, not unicast datagrams
    // to the port nor other groups.
    const int on = 1;
    if (::setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
      platform::showError("Error setsockopt(...)");
      return false;
    }
    ::inet_aton(address_, &local.sin_addr);
  }
  // Port 0 would bind whatever port the system hands out, where no feed
  // sends: refused like a port that cannot be bound.
  if (port == 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    platform::showError("Error bind(...)");
    return false;
  }
  int size = kReceiveBufferBytes;
  if (::setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) != 0) {
    platform::showError("Error setsockopt(...)");
    return false;
  }
  int granted = 0;
  socklen_t len = sizeof granted;
  if (::getsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &granted, &len) != 0 || len != sizeof granted ||
      !receiveBufferGranted(kReceiveBufferBytes, granted)) {
    platform::showError("Error getsockopt(...)");
    return false;
  }
  if (multicast_ && !join()) return false;
  const int flags = ::fcntl(socket_, F_GETFL);
  if (flags < 0 || ::fcntl(socket_, F_SETFL, flags | O_NONBLOCK) != 0) {
    platform::showError("Error ioctlsocket(...)");
    return false;
  }
  return true;
}

bool UdpReceiver::join() {
  const std::string group = address_;
  const auto failed = [&](const std::string& where, int error) {
    platform::showError("Error setsockopt(...): cannot join the multicast group " + group + " on " + where + ": " +
                        std::strerror(error) +
                        ". Check that the network is up, then open the receiver again (Net Conf., Ok).");
    return false;
  };
  // Otherwise Linux hands this socket every group that any socket on the
  // machine joined on the port.
  const int off = 0;
  if (::setsockopt(socket_, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off) != 0) {
    platform::showError("Error setsockopt(...)");
    return false;
  }
  const auto add = [&](int index) {
    const ip_mreqn m = membership(address_, index);
    if (::setsockopt(socket_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &m, sizeof m) != 0) return errno;
    joined_[std::size_t(joinedCount_++)] = index;
    return 0;
  };

  if (*interface_) {
    const int index = interfaceIndex(interface_);
    if (index == 0) {
      platform::showError("Error setsockopt(...): there is no network interface " + std::string(interface_) +
                          " to join the multicast group " + group +
                          " on. Name an interface of this PC (ip address shows them) in MULTICAST-IF of the "
                          "settings file, or remove the key to join on every interface.");
      return false;
    }
    const int error = add(index);
    return error == 0 || failed(interface_, error);
  }

  // Every interface that is up and carries multicast, so that the feed
  // arrives whichever network the sender is on.
  ifaddrs* all = nullptr;
  int lastError = ENODEV;
  if (::getifaddrs(&all) == 0) {
    for (const ifaddrs* i = all; i && joinedCount_ < kMaxJoined; i = i->ifa_next) {
      if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) ||
          !(i->ifa_flags & IFF_MULTICAST))
        continue;
      const int index = int(::if_nametoindex(i->ifa_name));
      bool seen = index == 0;
      for (int j = 0; j < joinedCount_ && !seen; ++j) seen = joined_[std::size_t(j)] == index;
      if (seen) continue;
      // One interface refusing (a socket may hold only so many groups)
      // still leaves the others.
      if (const int error = add(index)) lastError = error;
    }
    ::freeifaddrs(all);
  }
  if (joinedCount_ > 0) return true;
  // None found: let the routes pick one.
  const int error = add(0);
  return error == 0 || failed("any network interface", error ? error : lastError);
}

void UdpReceiver::leave() {
  for (int i = 0; i < joinedCount_; ++i) {
    const ip_mreqn m = membership(address_, joined_[std::size_t(i)]);
    ::setsockopt(socket_, IPPROTO_IP, IP_DROP_MEMBERSHIP, &m, sizeof m);
  }
  joinedCount_ = 0;
}

bool UdpReceiver::receive(std::uint8_t* buffer, std::size_t length, int timeoutMs) {
  if (socket_ < 0) return false;
  pollfd p{socket_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) != 1 || !(p.revents & POLLIN)) return false;
  // MSG_TRUNC makes recv report the datagram's real length, so a longer
  // datagram is refused like a shorter one instead of arriving cut short.
  const ssize_t n = ::recv(socket_, buffer, length, MSG_TRUNC);
  return n >= 0 && std::size_t(n) == length;
}

bool UdpReceiver::close() {
  // Closing would leave the groups too; saying so at once tells the
  // network's switches to stop sending them here.
  if (socket_ >= 0) leave();
  if (socket_ >= 0 && ::close(socket_) != 0) platform::showError("Error closesocket(...)");
  socket_ = -1;
  return true;
}

std::string UdpReceiver::whereText() const {
  if (!multicast_) return std::string("port ") + portText_;
  std::string text = std::string("group ") + address_ + ", port " + portText_;
  if (*interface_) text += std::string(", interface ") + interface_;
  return text;
}

bool UdpReceiver::validAddress(const char* text) {
  if (!text) return false;
  in_addr parsed{};
  if (::inet_aton(text, &parsed) == 0 || parsed.s_addr == INADDR_NONE) return false;
  int dots = 0;
  std::size_t run = 0;
  for (const char* c = text; *c; ++c) {
    if (*c == '.') {
      if (run == 0) return false;
      ++dots;
      run = 0;
    } else {
      ++run;
    }
  }
  return dots == 3;
}

bool UdpReceiver::isMulticast(const char* text) {
  in_addr parsed{};
  return validAddress(text) && ::inet_aton(text, &parsed) != 0 && IN_MULTICAST(ntohl(parsed.s_addr));
}

bool UdpReceiver::receiveBufferGranted(int requested, int reported) {
  return reported == requested || reported == 2 * requested;
}
