#pragma once
#include <array>
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

  // A unicast (or empty) address: binds to all local interfaces on port and
  // only keeps the address text. A multicast group (224.0.0.0 to
  // 239.255.255.255): binds to the group, shares the port with other
  // receivers on this machine and joins the group on the interface named
  // by interfaceName (a name such as "eth0" or the interface's IPv4
  // address), or on every multicast interface that is up when it is empty.
  // Shows one message box and returns false at the first failing step; an
  // open socket is closed (and its groups left) first.
  bool open(std::uint16_t port, const char* address, const char* interfaceName = nullptr);
  // Waits at most timeoutMs for one datagram and reads it; true only when
  // exactly length bytes arrived. Datagrams of other lengths are consumed.
  bool receive(std::uint8_t* buffer, std::size_t length, int timeoutMs = 0);
  // Leaves the groups it joined, then closes the socket.
  bool close();

  const char* address() const { return address_; }
  const char* portText() const { return portText_; }
  std::uint16_t port() const { return port_; }
  bool isOpen() const { return socket_ >= 0; }
  // Whether the last open was for a group, and the interface it was told.
  bool multicast() const { return multicast_; }
  const char* interfaceName() const { return interface_; }
  // Interfaces (by index) that hold the group for this socket; 0 stands
  // for the one the system's routes chose.
  int joinedCount() const { return joinedCount_; }
  int joinedInterface(int i) const { return joined_[std::size_t(i)]; }
  // Where the last open listened, for the operator: "port 4555", or
  // "group 239.1.2.3, port 4555" and ", interface eth0" when one was named.
  std::string whereText() const;

  static bool validAddress(const char* text);
  // A dotted IPv4 address in 224.0.0.0/4.
  static bool isMulticast(const char* text);
  // Linux reports twice the receive buffer it granted (the rest is for its
  // own bookkeeping); other systems report the size itself.
  static bool receiveBufferGranted(int requested, int reported);
  static constexpr int kReceiveBufferBytes = 61440;
  static constexpr int kMaxJoined = 32;

 private:
  bool join();
  void leave();

  char portText_[20] = {};
  std::uint16_t port_ = 12345;
  char address_[22] = {};
  int socket_ = -1;
  bool multicast_ = false;
  char interface_[40] = {};
  std::array<int, kMaxJoined> joined_{};
  int joinedCount_ = 0;
};
