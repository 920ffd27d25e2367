// FlightGear packets: what the parser takes are plain finite numbers, and
// the block composed from them has no word that reads NaN or infinity.
#include <cmath>

#include "compose.h"
#include "flightgear.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  flightgear::Packet packet{};
  std::string error;
  if (!flightgear::parsePacket({reinterpret_cast<const char*>(data), size}, packet, error)) {
    FUZZ_CHECK(!error.empty(), "a refusal without a reason");
    return 0;
  }
  for (std::size_t i = 0; i < packet.size(); ++i)
    FUZZ_CHECK(std::isfinite(packet[i]) && std::fabs(packet[i]) <= flightgear::kMaxMagnitude, "field %zu is %g", i,
               packet[i]);
  bridge::AircraftState state;
  flightgear::toState(packet, state);
  FlightDataBlock block;
  bridge::composeBlock(state, bridge::Options{}, block);
  for (int w = 0; w < kFlightDataWords; ++w)
    FUZZ_CHECK(std::isfinite(block.f32(w)), "word %d reads %g", w, double(block.f32(w)));
  return 0;
}
