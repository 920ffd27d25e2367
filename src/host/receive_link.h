#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "host/flight_data_exchange.h"
#include "host/udp_receiver.h"

// Socket -> Receive thread -> flight data exchange, plus the watchdog that
// blanks the block when the feed stops. Owned by the user-interface thread;
// only the Receive thread's loop runs elsewhere.
class ReceiveLink {
 public:
  explicit ReceiveLink(FlightDataExchange& target) : target_(target) {}
  ~ReceiveLink() { closeReceiver(); }
  ReceiveLink(const ReceiveLink&) = delete;
  ReceiveLink& operator=(const ReceiveLink&) = delete;

  // Opens the receiver and, on success, starts the Receive thread. The
  // caller starts its watchdog timer only when this returns true. A group
  // address is joined on interfaceName, or on every interface when empty.
  bool openReceiver(std::uint16_t port, const char* address, const char* interfaceName = nullptr);
  // Stops and joins the thread before the socket is closed.
  void closeReceiver();
  // The watchdog timer's tick; true when it blanked the block.
  bool watchdogTick();

  bool receiverOpen() const { return receiverOpen_; }
  std::uint32_t packetCounter() const { return packets_.load(std::memory_order_relaxed); }
  const UdpReceiver& receiver() const { return receiver_; }

  // How long one wait for the socket lasts: the bound on how late the
  // thread notices the stop flag. Short enough to stop promptly, long
  // enough that an idle receiver costs next to nothing.
  static constexpr int kPollMs = 20;

 private:
  void run();
  void stopThread();
  void blank();

  FlightDataExchange& target_;
  UdpReceiver receiver_;
  std::array<std::uint8_t, kFlightDataBytes> buffer_{};
  std::atomic<bool> stop_{false};
  std::atomic<std::uint32_t> packets_{1};
  std::uint32_t lastSeen_ = 0;
  bool receiverOpen_ = false;
  std::thread thread_;
};
