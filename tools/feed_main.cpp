// Sends flight data blocks to the display over UDP.
#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli.h"
#include "scenario.h"
#include "sender.h"

namespace {

const char* const kUsage =
    "usage: a320-feed [--host 127.0.0.1] [--port 4555] [--rate HZ] [--count N | --duration S]\n"
    "                 [--block FILE] [--scenario demo|FILE [--speed X] [--loop]] [--set N=VALUE]...\n"
    "                 [--clock] [--allow-remote] [--ttl N] [--interface NAME]\n"
    "       a320-feed --record FILE [--host 127.0.0.1] [--port 4555] [--count N | --duration S] [--interface NAME]\n"
    "       a320-feed --scenario demo|FILE --at TIME --write-block FILE [--set N=VALUE]...\n"
    "  sends 1024-byte flight data blocks; without --count or --duration it runs until stopped\n"
    "  (a scenario ends with its last line unless --loop)\n"
    "  --scenario plays a scenario file, or the built-in demo flight; --speed 4 plays it 4 times faster\n"
    "  --set overrides a word in every block; --clock fills words 2 to 4 from the local time of day\n"
    "  --host may name a multicast group (239.0.0.0/8 needs no --allow-remote): every display that\n"
    "  joined it gets each block; --ttl 1 (default) keeps it on the local network, --interface sends\n"
    "  (or with --record joins) through that interface instead of the one the routes choose\n"
    "  --record listens on --host:--port and writes what arrives as a scenario file\n"
    "  --write-block FILE --at TIME saves the scenario's block at TIME (seconds or M:SS) and exits\n";

int usage(const std::string& problem) {
  std::fprintf(stderr, "a320-feed: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

volatile std::sig_atomic_t stopRequested = 0;
void onSignal(int) { stopRequested = 1; }

using clk = std::chrono::steady_clock;

double secondsSince(clk::time_point start) { return std::chrono::duration<double>(clk::now() - start).count(); }

// Listens for datagrams and writes them as a scenario.
int record(const std::string& path, const sockaddr_in& at, const cli::SendOptions& options, long long count,
           double duration) {
  std::string error;
  const int fd = cli::openListener(at, options, error);
  if (fd < 0) {
    std::fprintf(stderr, "a320-feed: %s\n", error.c_str());
    return 1;
  }
  std::ofstream out(path);
  if (!out) {
    std::fprintf(stderr, "a320-feed: cannot write %s\n", path.c_str());
    close(fd);
    return 1;
  }
  std::printf("a320-feed: recording what arrives on port %d into %s\n", int(ntohs(at.sin_port)), path.c_str());
  std::fflush(stdout);
  scenario::Recorder recorder(out);
  FlightDataBlock block;
  std::array<std::uint8_t, kFlightDataBytes + 1> buf{};
  clk::time_point first{}, start = clk::now();
  double last = 0;
  long long refused = 0;
  while (!stopRequested && (count < 0 || recorder.blocks() < count) &&
         (duration < 0 || secondsSince(start) < duration)) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    // One byte more than a block, so that a longer datagram shows as such.
    const ssize_t n = recv(fd, buf.data(), buf.size(), 0);
    if (n != ssize_t(kFlightDataBytes)) {
      ++refused;
      continue;
    }
    // One clock reading: the first datagram is at exactly 0, so a replay
    // starts with it and not with a block of zeros.
    const clk::time_point now = clk::now();
    if (recorder.blocks() == 0) first = now;
    last = std::chrono::duration<double>(now - first).count();
    std::memcpy(block.bytes.data(), buf.data(), kFlightDataBytes);
    recorder.add(last, block);
  }
  recorder.finish(last);
  out.flush();
  close(fd);
  std::printf("a320-feed: recorded %lld datagrams into %s%s\n", recorder.blocks(), path.c_str(),
              refused ? (", refused " + std::to_string(refused) + " of another length").c_str() : "");
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string host = "127.0.0.1", blockFile, scenarioName, recordFile, writeBlock;
  double at = -1;
  long long port = 4555, count = -1;
  double rate = 30.0, duration = -1, speed = 1.0;
  bool clock = false, allowRemote = false, loop = false, speedGiven = false;
  std::vector<std::string> sets;
  cli::SendOptions sending;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--clock") { clock = true; continue; }
    if (a == "--allow-remote") { allowRemote = true; continue; }
    if (a == "--loop") { loop = true; continue; }
    if (i + 1 >= argc) return usage("option " + a + " needs a value");
    const std::string v = argv[++i];
    bool taken = false;
    std::string why;
    if (!cli::takeSendOption(a, v, sending, taken, why)) return usage(why);
    if (taken) continue;
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
    } else if (a == "--scenario") {
      scenarioName = v;
    } else if (a == "--speed") {
      const auto x = cli::parseNumber(v, 0.01, 1000);
      if (!x) return usage("--speed wants 0.01 to 1000 times real time, got '" + v + "'");
      speed = *x;
      speedGiven = true;
    } else if (a == "--record") {
      recordFile = v;
    } else if (a == "--write-block") {
      writeBlock = v;
    } else if (a == "--at") {
      std::string why;
      if (!scenario::parseTime(v, at, why)) return usage("--at: " + why);
    } else {
      return usage("unknown option " + a);
    }
  }
  if (count >= 0 && duration >= 0) return usage("give --count or --duration, not both");
  if ((speedGiven || loop) && scenarioName.empty()) return usage("--speed and --loop go with --scenario");
  if (!scenarioName.empty() && !blockFile.empty()) return usage("give --scenario or --block, not both");

  // Ctrl-C and SIGTERM end a recording or a feed in order: what was
  // recorded is written out, the summary printed.
  std::signal(SIGINT, onSignal);
  std::signal(SIGTERM, onSignal);

  sockaddr_in target{};
  if (!cli::resolveHost(host, port, target)) return usage("cannot resolve host '" + host + "'");
  if (const std::string why = cli::optionsRefusal(target, sending); !why.empty()) return usage(why);
  const std::string remote = cli::remoteRefusal(host, target, allowRemote);

  if (!recordFile.empty()) {
    if (!scenarioName.empty() || !blockFile.empty() || !sets.empty() || clock || speedGiven || loop ||
        !writeBlock.empty() || at >= 0)
      return usage("--record only listens; it takes --host, --port, --count or --duration");
    if (sending.ttlGiven) return usage("--record only listens; --ttl is for sending");
    // Listening beyond this machine is the operator's call, as sending is.
    if (!remote.empty()) return usage(remote);
    return record(recordFile, target, sending, count, duration);
  }
  // Flight data stays on this machine or its own network unless the
  // operator says otherwise.
  if (!remote.empty()) return usage(remote);

  FlightDataBlock block;
  std::string error;
  if (!blockFile.empty() && !cli::readBlockFile(blockFile, block, error)) return usage(error);
  for (const std::string& s : sets)
    if (!cli::applySet(s, block, error)) return usage(error);
  scenario::Scenario flight;
  const bool playing = !scenarioName.empty();
  if (playing) {
    const std::string path = scenario::locate(scenarioName, error);
    if (path.empty()) return usage(error);
    if (!scenario::load(path, flight, error)) {
      std::fprintf(stderr, "a320-feed: %s\n", error.c_str());
      return 2;
    }
  }

  if (!writeBlock.empty() || at >= 0) {
    if (writeBlock.empty() || at < 0 || !playing) return usage("--write-block FILE and --at TIME go with --scenario");
    flight.sample(at, block);
    for (const std::string& s : sets) cli::applySet(s, block, error);
    std::ofstream out(writeBlock, std::ios::binary);
    out.write(reinterpret_cast<const char*>(block.bytes.data()), std::streamsize(block.bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "a320-feed: cannot write %s\n", writeBlock.c_str());
      return 1;
    }
    std::printf("a320-feed: wrote the block at %g s into %s\n", at, writeBlock.c_str());
    return 0;
  }

  const int fd = cli::openSender(target, sending, error);
  if (fd < 0) {
    std::fprintf(stderr, "a320-feed: %s\n", error.c_str());
    return 1;
  }
  const auto start = clk::now();
  const auto period = std::chrono::duration_cast<clk::duration>(std::chrono::duration<double>(1.0 / rate));
  // A scenario also sends at its key times, so its duration is wall time.
  if (duration >= 0 && !playing) count = static_cast<long long>(std::floor(duration * rate));
  long long sent = 0, failed = 0;
  auto next = start;
  // Scenario time: a datagram goes out at every key time (so that no
  // recorded block is skipped) and at least once a period in between.
  auto scenarioStart = start;
  double t = 0;
  auto wallAt = [&](double scenarioSeconds) {
    return scenarioStart +
           std::chrono::duration_cast<clk::duration>(std::chrono::duration<double>(scenarioSeconds / speed));
  };
  while (!stopRequested && (count < 0 || sent + failed < count) &&
         (!playing || duration < 0 || secondsSince(start) < duration)) {
    if (playing) {
      flight.sample(t, block);
      for (const std::string& s : sets) cli::applySet(s, block, error);
    }
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
    if (!playing) {
      next += period;
      std::this_thread::sleep_until(next);
      continue;
    }
    if (t >= flight.endTime) {
      if (!loop) break;
      next += period;
      scenarioStart = next;
      t = 0;
      std::this_thread::sleep_until(next);
      continue;
    }
    const double key = flight.nextKeyTime(t);
    const auto tick = next + period;
    if (wallAt(key) <= tick) {
      next = wallAt(key);
      t = key;  // exactly, so that the key's step is in this block
    } else {
      next = tick;
      t = std::min(std::chrono::duration<double>(tick - scenarioStart).count() * speed, key);
    }
    std::this_thread::sleep_until(next);
  }
  close(fd);
  const double secs = secondsSince(start);
  std::printf("a320-feed: sent %lld datagrams to %s:%lld in %.1f s%s\n", sent, host.c_str(), port, secs,
              failed ? (", " + std::to_string(failed) + " failed").c_str() : "");
  return failed ? 1 : 0;
}
