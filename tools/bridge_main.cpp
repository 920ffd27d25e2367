// Feeds the display from a simulator: FlightGear's generic protocol (the
// default) or X-Plane's own UDP interface. docs/flight-data.md describes
// the blocks it sends.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bridge_loop.h"
#include "cli.h"
#include "flightgear.h"
#include "sender.h"
#include "xplane.h"

namespace {

const char* const kUsage =
    "usage: a320-bridge [--flightgear] [--listen-port 5500] [--protocol]\n"
    "       a320-bridge --xplane [HOST[:PORT]] [--listen-port N] [--sd-page N] [--doors-open]\n"
    "   and [--host 127.0.0.1] [--port 4555] [--flaps-full DEG] [--set N=VALUE]... [--count N] [--allow-remote]\n"
    "       [--ttl N] [--interface NAME]\n"
    "  --flightgear (the default) listens for FlightGear's a320-display generic protocol on\n"
    "  127.0.0.1:--listen-port and sends one flight data block per packet to --host:--port\n"
    "  --xplane subscribes to X-Plane's datarefs at HOST (port 49000 unless given; without HOST it waits\n"
    "  for X-Plane's beacon) and sends 30 blocks a second while X-Plane answers; --listen-port is where\n"
    "  the answers come (any free port by default); --sd-page picks the system display page (0 automatic),\n"
    "  --doors-open shows the doors open\n"
    "  --flaps-full: the flap angle of fully extended flaps, in the unit of the display's FLAPS settings\n"
    "  --set overrides a word in every block; --count stops after N blocks\n"
    "  --allow-remote listens on every interface for FlightGear and may send beyond this machine\n"
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
  long long listenPort = -1, port = 4555, count = -1;
  bool allowRemote = false, useXPlane = false;
  xplane::Connection xp;
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
      std::fputs(flightgear::protocolXml().c_str(), stdout);
      return 0;
    }
    if (a == "--allow-remote") { allowRemote = true; continue; }
    if (a == "--flightgear") { useXPlane = false; continue; }
    if (a == "--doors-open") { xp.settings.doorsOpen = true; continue; }
    if (a == "--xplane") {
      useXPlane = true;
      // The host is optional: without it the beacon finds X-Plane.
      if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
        const std::string v = argv[++i];
        if (!xplane::parseHostPort(v, xp.host, xp.port)) return usage("--xplane wants HOST or HOST:PORT, got '" + v + "'");
      }
      continue;
    }
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
    } else if (a == "--sd-page") {
      const auto n = cli::parseInteger(v, 0, 12);
      if (!n) return usage("--sd-page wants 0 (automatic) to 12 (STATUS), got '" + v + "'");
      xp.settings.systemPage = int(*n);
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
  if (!useXPlane && (xp.settings.systemPage != 0 || xp.settings.doorsOpen))
    return usage("--sd-page and --doors-open go with --xplane; FlightGear sets them as properties");
  FlightDataBlock check;
  std::string error;
  for (const std::string& s : sets)
    if (!cli::applySet(s, check, error)) return usage(error);

  bridge::Destination to;
  to.sets = sets;
  to.count = count;
  if (!cli::resolveHost(host, port, to.target)) return usage("cannot resolve host '" + host + "'");
  if (const std::string why = cli::optionsRefusal(to.target, sending); !why.empty()) return usage(why);
  if (const std::string why = cli::remoteRefusal(host, to.target, allowRemote); !why.empty()) return usage(why);

  std::unique_ptr<bridge::Source> source;
  if (useXPlane) {
    xp.listenPort = listenPort < 0 ? 0 : listenPort;
    source = xplane::openSource(xp, error);
  } else {
    if (listenPort < 0) listenPort = 5500;
    source = flightgear::openSource(listenPort, allowRemote, error);
  }
  if (source) to.socket = cli::openSender(to.target, sending, error);
  if (!source || to.socket < 0) {
    std::fprintf(stderr, "a320-bridge: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);
  if (useXPlane)
    std::printf("a320-bridge: sending to %s:%lld\n", host.c_str(), port);
  else
    std::printf("a320-bridge: listening on port %lld, sending to %s:%lld\n", listenPort, host.c_str(), port);
  std::fflush(stdout);
  const int status = bridge::run(*source, options, to, stopRequested);
  close(to.socket);
  return status;
}
