// X-Plane datagrams. The first byte picks what the rest is: 0 one RREF
// answer, 1 one beacon, 2 a "HOST:PORT" text, otherwise a conversation of
// datagrams (each after a length byte and a byte of milliseconds passed)
// through the link that decides when blocks may go out. A block composed
// from whatever the link took has no word that reads NaN or infinity.
#include <cmath>
#include <span>

#include "compose.h"
#include "fuzz_support.h"
#include "xplane.h"

namespace {

void composedFinite(const xplane::Values& values, bool doorsOpen) {
  bridge::AircraftState state;
  xplane::toState(values, xplane::Settings{int(values[0]) & 15, doorsOpen}, state);
  FlightDataBlock block;
  bridge::composeBlock(state, bridge::Options{}, block);
  for (int w = 0; w < kFlightDataWords; ++w)
    FUZZ_CHECK(std::isfinite(block.f32(w)), "word %d reads %g", w, double(block.f32(w)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  std::string error;
  switch (data[0]) {
    case 0: {
      std::vector<std::pair<int, float>> pairs;
      if (!xplane::parseAnswer(rest, pairs, error)) return 0;
      FUZZ_CHECK(!pairs.empty() && pairs.size() == (rest.size() - 5) / 8, "%zu pairs from %zu bytes", pairs.size(),
                 rest.size());
      xplane::Values values{};
      for (const auto& [index, value] : pairs) {
        FUZZ_CHECK(index >= 0 && index < xplane::kRefCount, "index %d", index);
        FUZZ_CHECK(std::isfinite(value) && std::fabs(value) <= xplane::kMaxMagnitude, "value %g", double(value));
        values[std::size_t(index)] = value;
      }
      composedFinite(values, false);
      return 0;
    }
    case 1: {
      xplane::Beacon beacon;
      if (xplane::parseBeacon(rest, beacon, error)) FUZZ_CHECK(beacon.port != 0, "a beacon taken without a port");
      return 0;
    }
    case 2: {
      std::string host;
      std::uint16_t port = 0;
      if (xplane::parseHostPort(std::string(rest.begin(), rest.end()), host, port))
        FUZZ_CHECK(!host.empty() && port != 0, "'%s' port %u", host.c_str(), unsigned(port));
      return 0;
    }
    default: break;
  }
  xplane::Link link;
  auto now = xplane::Link::Clock::time_point{} + std::chrono::hours(1);
  link.tick(now);
  for (std::size_t at = 0; at + 2 <= rest.size();) {
    const std::size_t length = std::min<std::size_t>(rest[at], rest.size() - at - 2);
    now += std::chrono::milliseconds(rest[at + 1] * 20);
    const auto datagram = rest.subspan(at + 2, length);
    const xplane::Values before = link.values();
    if (!link.take(datagram, now, error))
      FUZZ_CHECK(link.values() == before, "a refused datagram changed the values");
    link.tick(now);
    at += 2 + length;
  }
  for (float v : link.values())
    FUZZ_CHECK(std::isfinite(v) && std::fabs(v) <= xplane::kMaxMagnitude, "the link kept %g", double(v));
  composedFinite(link.values(), data[0] & 1);
  return 0;
}
