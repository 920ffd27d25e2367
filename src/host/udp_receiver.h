#pragma once
#include <cstdint>
#include <string>

// The socket that flight data datagrams arrive on.
class UdpReceiver {
 public:
  UdpReceiver() = default;
  // Destroying the object does not close the socket; close() does.
  ~UdpReceiver() = default;
  UdpReceiver(const UdpReceiver&) = delete;
  UdpReceiver& operator=(const UdpReceiver&) = delete;

  // Binds to all local interfaces on port; the address text is only kept.
  // Shows one message box and returns false at the first failing step.
  bool open(std::uint16_t port, const char* address);
  // Waits at most timeoutMs for one datagram and reads it; true only when
  // exactly length bytes arrived. Datagrams of other lengths are consumed.
  bool receive(std::uint8_t* buffer, std::size_t length, int timeoutMs = 0);
  bool close();

  const char* address() const { return address_; }
  const char* portText() const { return portText_; }
  std::uint16_t port() const { return port_; }
  bool isOpen() const { return socket_ >= 0; }

  static bool validAddress(const char* text);
  // Linux reports twice the receive buffer it granted (the rest is for its
  // own bookkeeping); other systems report the size itself.
  static bool receiveBufferGranted(int requested, int reported);
  static constexpr int kReceiveBufferBytes = 61440;

 private:
  char portText_[20] = {};
  std::uint16_t port_ = 12345;
  char address_[22] = {};
  int socket_ = -1;
};
