// Sends flight data blocks to the display over UDP.
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "cli.h"

namespace {

const char* const kUsage =
    "usage: a320-feed [--host 127.0.0.1] [--port 4555] [--rate HZ] [--count N | --duration S]\n"
    "                 [--block FILE] [--set N=VALUE]... [--clock] [--allow-remote]\n"
    "  sends 1024-byte flight data blocks; without --count or --duration it runs until stopped\n"
    "  --clock fills words 2 to 4 from the local time of day\n";

int usage(const std::string& problem) {
  std::fprintf(stderr, "a320-feed: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1", blockFile;
  long long port = 4555, count = -1;
  double rate = 30.0, duration = -1;
  bool clock = false, allowRemote = false;
  std::vector<std::string> sets;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--clock") { clock = true; continue; }
    if (a == "--allow-remote") { allowRemote = true; continue; }
    if (i + 1 >= argc) return usage("option " + a + " needs a value");
    const std::string v = argv[++i];
    if (a == "--host") {
      host = v;
    } else if (a == "--port") {
      const auto p = cli::parseInteger(v, 1, 65535);
      if (!p) return usage("--port wants 1 to 65535, got '" + v + "'");
      port = *p;
    } else if (a == "--rate") {
      const auto r = cli::parseNumber(v, 0.01, 100000);
      if (!r) return usage("--rate wants 0.01 to 100000 datagrams a second, got '" + v + "'");
      rate = *r;
    } else if (a == "--count") {
      const auto n = cli::parseInteger(v, 0, 1000000000000LL);
      if (!n) return usage("--count wants a whole number of datagrams, got '" + v + "'");
      count = *n;
    } else if (a == "--duration") {
      const auto d = cli::parseNumber(v, 0, 1e9);
      if (!d) return usage("--duration wants seconds, got '" + v + "'");
      duration = *d;
    } else if (a == "--block") {
      blockFile = v;
    } else if (a == "--set") {
      sets.push_back(v);
    } else {
      return usage("unknown option " + a);
    }
  }
  if (count >= 0 && duration >= 0) return usage("give --count or --duration, not both");

  FlightDataBlock block;
  std::string error;
  if (!blockFile.empty() && !cli::readBlockFile(blockFile, block, error)) return usage(error);
  for (const std::string& s : sets)
    if (!cli::applySet(s, block, error)) return usage(error);

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* resolved = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &resolved) != 0 || !resolved)
    return usage("cannot resolve host '" + host + "'");
  sockaddr_in target;
  std::memcpy(&target, resolved->ai_addr, sizeof target);
  freeaddrinfo(resolved);
  // Flight data goes to this machine unless the operator says otherwise.
  if ((ntohl(target.sin_addr.s_addr) >> 24) != 127 && !allowRemote)
    return usage("host '" + host + "' is not on this machine (127.0.0.0/8); add --allow-remote to send there");

  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    std::perror("a320-feed: socket");
    return 1;
  }
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);

  using clk = std::chrono::steady_clock;
  const auto start = clk::now();
  const auto period = std::chrono::duration_cast<clk::duration>(std::chrono::duration<double>(1.0 / rate));
  if (duration >= 0) count = static_cast<long long>(std::floor(duration * rate));
  long long sent = 0, failed = 0;
  auto next = start;
  while (!stopRequested && (count < 0 || sent + failed < count)) {
    if (clock) {
      const std::time_t now = std::time(nullptr);
      std::tm local{};
      localtime_r(&now, &local);
      cli::setClockWords(block, local.tm_hour, local.tm_min, local.tm_sec);
    }
    const ssize_t n = sendto(fd, block.bytes.data(), block.bytes.size(), 0, reinterpret_cast<sockaddr*>(&target),
                             sizeof target);
    if (n == ssize_t(block.bytes.size())) {
      ++sent;
    } else {
      if (failed++ == 0) std::perror("a320-feed: sendto");
    }
    next += period;
    std::this_thread::sleep_until(next);
  }
  close(fd);
  const double secs = std::chrono::duration<double>(clk::now() - start).count();
  std::printf("a320-feed: sent %lld datagrams to %s:%lld in %.1f s%s\n", sent, host.c_str(), port, secs,
              failed ? (", " + std::to_string(failed) + " failed").c_str() : "");
  return failed ? 1 : 0;
}
