#include "host/udp_receiver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/message_box.h"

bool UdpReceiver::open(std::uint16_t port, const char* address) {
  socket_ = -1;
  if (!address || !*address) address = "127.0.0.1";
  std::snprintf(address_, sizeof address_, "%s", address);
  port_ = port;
  std::snprintf(portText_, sizeof portText_, "%d", int(port));

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
  const int flags = ::fcntl(socket_, F_GETFL);
  if (flags < 0 || ::fcntl(socket_, F_SETFL, flags | O_NONBLOCK) != 0) {
    platform::showError("Error ioctlsocket(...)");
    return false;
  }
  return true;
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
  if (socket_ >= 0 && ::close(socket_) != 0) platform::showError("Error closesocket(...)");
  socket_ = -1;
  return true;
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

bool UdpReceiver::receiveBufferGranted(int requested, int reported) {
  return reported == requested || reported == 2 * requested;
}
