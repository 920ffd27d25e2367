#include "bridge_loop.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdio>

#include "cli.h"

namespace bridge {

int run(Source& source, const Options& options, const Destination& to, const volatile std::sig_atomic_t& stop) {
  FlightDataBlock block;
  AircraftState state;
  std::string error;
  long long sent = 0, failed = 0;
  std::vector<pollfd> waits;
  while (!stop && (to.count < 0 || sent < to.count)) {
    Clock::time_point now = Clock::now();
    if (source.due(now, state)) {
      composeBlock(state, options, block);
      for (const std::string& s : to.sets) cli::applySet(s, block, error);
      if (sendto(to.socket, block.bytes.data(), block.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to.target),
                 sizeof to.target) == ssize_t(block.bytes.size()))
        ++sent;
      else if (failed++ == 0)
        std::perror("a320-bridge: sendto");
      continue;
    }
    waits.clear();
    for (int s : source.sockets()) waits.push_back({s, POLLIN, 0});
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(source.nextWake(now) - now).count();
    // Short enough that a signal or --count ends the loop promptly.
    if (poll(waits.data(), waits.size(), int(std::clamp<long long>(wait, 0, 200))) <= 0) continue;
    now = Clock::now();
    for (const pollfd& w : waits)
      if (w.revents & POLLIN) source.readable(w.fd, now);
  }
  source.finish();
  std::printf("a320-bridge: sent %lld blocks, %s%s\n", sent, source.refusals().c_str(),
              failed ? (", " + std::to_string(failed) + " sends failed").c_str() : "");
  return failed ? 1 : 0;
}

}  // namespace bridge
