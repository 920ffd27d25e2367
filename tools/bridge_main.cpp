// Turns FlightGear's generic-protocol packets into flight data blocks for
// the display, one block per packet, sent the moment the packet arrives.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bridge.h"
#include "cli.h"
#include "sender.h"

namespace {

const char* const kUsage =
    "usage: a320-bridge [--listen-port 5500] [--host 127.0.0.1] [--port 4555] [--flaps-full DEG]\n"
    "                   [--set N=VALUE]... [--count N] [--allow-remote] [--ttl N] [--interface NAME] [--protocol]\n"
    "  listens for FlightGear's a320-display generic protocol on 127.0.0.1:--listen-port and sends\n"
    "  one flight data block per packet to --host:--port\n"
    "  --flaps-full: the flap angle of flap-pos-norm 1.0, in the unit of the display's FLAPS settings\n"
    "  --set overrides a word in every block; --count stops after N blocks\n"
    "  --allow-remote listens on every interface and may send beyond this machine\n"
    "  --host may name a multicast group (239.0.0.0/8 needs no --allow-remote) that every display joins;\n"
    "  --ttl 1 (default) keeps it on the local network, --interface sends through that interface\n"
    "  --protocol prints the FlightGear protocol file and exits\n";

int usage(const std::string& problem) {
  std::fprintf(stderr, "a320-bridge: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1";
  long long listenPort = 5500, port = 4555, count = -1;
  bool allowRemote = false;
  bridge::Options options;
  std::vector<std::string> sets;
  cli::SendOptions sending;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--protocol") {
      std::fputs(bridge::protocolXml().c_str(), stdout);
      return 0;
    }
    if (a == "--allow-remote") { allowRemote = true; continue; }
    if (i + 1 >= argc) return usage("option " + a + " needs a value");
    const std::string v = argv[++i];
    bool taken = false;
    std::string why;
    if (!cli::takeSendOption(a, v, sending, taken, why)) return usage(why);
    if (taken) continue;
    if (a == "--listen-port" || a == "--port") {
      const auto p = cli::parseInteger(v, 1, 65535);
      if (!p) return usage(a + " wants 1 to 65535, got '" + v + "'");
      (a == "--port" ? port : listenPort) = *p;
    } else if (a == "--host") {
      host = v;
    } else if (a == "--flaps-full") {
      const auto d = cli::parseNumber(v, 0.1, 180);
      if (!d) return usage("--flaps-full wants degrees above 0 up to 180, got '" + v + "'");
      options.flapsFullDegrees = float(*d);
    } else if (a == "--set") {
      sets.push_back(v);
    } else if (a == "--count") {
      const auto n = cli::parseInteger(v, 0, 1000000000000LL);
      if (!n) return usage("--count wants a whole number of blocks, got '" + v + "'");
      count = *n;
    } else {
      return usage("unknown option " + a);
    }
  }
  FlightDataBlock check;
  std::string error;
  for (const std::string& s : sets)
    if (!cli::applySet(s, check, error)) return usage(error);

  sockaddr_in target{};
  if (!cli::resolveHost(host, port, target)) return usage("cannot resolve host '" + host + "'");
  if (const std::string why = cli::optionsRefusal(target, sending); !why.empty()) return usage(why);
  if (const std::string why = cli::remoteRefusal(host, target, allowRemote); !why.empty()) return usage(why);

  const int out = cli::openSender(target, sending, error);
  if (out < 0) {
    std::fprintf(stderr, "a320-bridge: %s\n", error.c_str());
    return 1;
  }
  const int in = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in listenAt{};
  listenAt.sin_family = AF_INET;
  listenAt.sin_port = htons(std::uint16_t(listenPort));
  listenAt.sin_addr.s_addr = htonl(allowRemote ? INADDR_ANY : INADDR_LOOPBACK);
  if (in < 0 || out < 0 || bind(in, reinterpret_cast<sockaddr*>(&listenAt), sizeof listenAt) != 0) {
    std::fprintf(stderr, "a320-bridge: cannot listen on port %lld: %s\n", listenPort, std::strerror(errno));
    return 1;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  std::printf("a320-bridge: listening on port %lld, sending to %s:%lld\n", listenPort, host.c_str(), port);
  std::fflush(stdout);

  std::vector<char> buf(bridge::kMaxPacketBytes + 1);
  bridge::Packet packet{};
  FlightDataBlock block;
  long long sent = 0, refused = 0, failed = 0;
  while (!stopRequested && (count < 0 || sent < count)) {
    pollfd p{in, POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    // One byte more than the longest packet, so that a longer one shows.
    const ssize_t n = recv(in, buf.data(), buf.size(), 0);
    if (n < 0) continue;
    if (!bridge::parsePacket(std::string_view(buf.data(), std::size_t(n)), packet, error)) {
      // A few reasons are worth seeing; a flood of them is not.
      if (refused++ < 5) std::fprintf(stderr, "a320-bridge: refused a packet: %s\n", error.c_str());
      continue;
    }
    bridge::composeBlock(packet, options, block);
    for (const std::string& s : sets) cli::applySet(s, block, error);
    if (sendto(out, block.bytes.data(), block.bytes.size(), 0, reinterpret_cast<sockaddr*>(&target),
               sizeof target) == ssize_t(block.bytes.size()))
      ++sent;
    else if (failed++ == 0)
      std::perror("a320-bridge: sendto");
  }
  close(in);
  close(out);
  std::printf("a320-bridge: sent %lld blocks, refused %lld packets%s\n", sent, refused,
              failed ? (", " + std::to_string(failed) + " sends failed").c_str() : "");
  return failed ? 1 : 0;
}
