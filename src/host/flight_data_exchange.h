#pragma once
#include <cstdint>
#include <cstring>
#include <mutex>

#include "instruments/flight_data.h"

// Hand-over of datagrams from the Receive thread to the render pass.
// The receiver publishes whole blocks; each frame takes one whole block,
// so a frame never mixes two datagrams. The lock is held for one 1 KiB
// copy at a time, nothing else.
class FlightDataExchange {
 public:
  void publish(const std::uint8_t* bytes) {
    std::lock_guard lock(mutex_);
    std::memcpy(latest_.bytes.data(), bytes, kFlightDataBytes);
  }
  void take(FlightDataBlock& frame) const {
    std::lock_guard lock(mutex_);
    frame = latest_;
  }

 private:
  mutable std::mutex mutex_;
  FlightDataBlock latest_{};
};
