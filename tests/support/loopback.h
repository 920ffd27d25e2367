#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace testing_support {

// A port that was free a moment ago (the kernel picks it).
inline std::uint16_t freeUdpPort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(fd);
  return ntohs(a.sin_port);
}

// Sends datagrams to 127.0.0.1:port, or to another address such as a
// multicast group.
class LoopbackSender {
 public:
  explicit LoopbackSender(std::uint16_t port, const char* address = "127.0.0.1")
      : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    to_.sin_family = AF_INET;
    ::inet_aton(address, &to_.sin_addr);
    to_.sin_port = htons(port);
    int big = 1 << 20;
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
  }
  ~LoopbackSender() { ::close(fd_); }
  bool send(const void* data, std::size_t n) const {
    return ::sendto(fd_, data, n, 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_) == ssize_t(n);
  }
  bool send(const std::vector<std::uint8_t>& d) const { return send(d.data(), d.size()); }

 private:
  int fd_;
  sockaddr_in to_{};
};

}  // namespace testing_support
