#include "host/receive_link.h"

bool ReceiveLink::openReceiver(std::uint16_t port, const char* address, const char* interfaceName) {
  stopThread();
  receiverOpen_ = receiver_.open(port, address, interfaceName);
  stop_.store(false);
  if (receiverOpen_) {
    thread_ = std::thread([this] { run(); });
  } else {
    // No thread and no watchdog follow a failed open: blank what the old
    // receiver left, or it would stay on the instruments for good.
    blank();
  }
  return receiverOpen_;
}

void ReceiveLink::closeReceiver() {
  stopThread();
  if (receiver_.isOpen()) receiver_.close();
  receiverOpen_ = false;
}

void ReceiveLink::stopThread() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
}

void ReceiveLink::run() {
  // Each datagram is read into the thread's own buffer and published whole.
  while (!stop_.load(std::memory_order_relaxed)) {
    if (receiver_.receive(buffer_.data(), buffer_.size(), kPollMs)) {
      packets_.fetch_add(1, std::memory_order_relaxed);
      target_.publish(buffer_.data());
    }
  }
}

bool ReceiveLink::watchdogTick() {
  const std::uint32_t now = packets_.load(std::memory_order_relaxed);
  if (now == lastSeen_) {
    blank();
    return true;
  }
  lastSeen_ = now;
  return false;
}

void ReceiveLink::blank() {
  static const std::array<std::uint8_t, kFlightDataBytes> zeros{};
  target_.publish(zeros.data());
}
