#pragma once
#include <netinet/in.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "aircraft_state.h"
#include "compose.h"

// The bridge's loop, the same for every simulator: wait on the adapter's
// sockets, and whenever it has an aircraft state due, compose the block and
// send it to the display.
namespace bridge {

using Clock = std::chrono::steady_clock;

// A simulator as the loop sees it.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::vector<int> sockets() const = 0;
  // Something waits on one of the sockets.
  virtual void readable(int socket, Clock::time_point now) = 0;
  // True with the state filled when a block is due now.
  virtual bool due(Clock::time_point now, AircraftState& state) = 0;
  // The latest time due() wants to be asked again.
  virtual Clock::time_point nextWake(Clock::time_point now) const = 0;
  // The bridge stops: say goodbye to the simulator.
  virtual void finish() {}
  // What was refused, for the closing line ("refused 2 packets").
  virtual std::string refusals() const = 0;
};

struct Destination {
  int socket = -1;  // a datagram socket, its options already set
  sockaddr_in target{};
  std::vector<std::string> sets;  // --set overrides, already checked
  long long count = -1;           // stop after this many blocks; -1 runs on
};

// Runs until stop is set or count blocks went out, then prints what it did.
// Returns the exit status: 1 when sends failed.
int run(Source& source, const Options& options, const Destination& to, const volatile std::sig_atomic_t& stop);

}  // namespace bridge
