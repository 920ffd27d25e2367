// How fast flight data gets from a socket into the block, and what an idle
// receiver costs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "host/receive_link.h"
#include "support/loopback.h"
#include "support/offscreen.h"

using namespace testing_support;
using clk = std::chrono::steady_clock;

namespace {

std::vector<std::uint8_t> block(std::uint32_t tag) {
  std::vector<std::uint8_t> d(1024, 0);
  std::memcpy(d.data(), &tag, 4);
  return d;
}

// Bursts of datagrams at full speed; counts what arrived.
void BM_ReceiverThroughput(benchmark::State& state) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  const std::uint16_t port = freeUdpPort();
  if (!link.openReceiver(port, "127.0.0.1")) {
    state.SkipWithError("cannot open receiver");
    return;
  }
  LoopbackSender s(port);
  const int burst = int(state.range(0));
  const auto d = block(1);
  std::int64_t sent = 0, lost = 0;
  for (auto _ : state) {
    const std::uint32_t before = link.packetCounter();
    for (int i = 0; i < burst; ++i) s.send(d);
    const auto deadline = clk::now() + std::chrono::milliseconds(200);
    while (link.packetCounter() - before < std::uint32_t(burst) && clk::now() < deadline) std::this_thread::yield();
    sent += burst;
    lost += burst - std::int64_t(link.packetCounter() - before);
  }
  state.SetItemsProcessed(sent - lost);
  state.counters["lost"] = double(lost);
  state.counters["datagrams/s"] = benchmark::Counter(double(sent - lost), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceiverThroughput)->Arg(30)->Arg(60)->UseRealTime()->Unit(benchmark::kMicrosecond);

// One datagram at a time: from sendto() to the moment the block shows it.
void BM_SendToBlockLatency(benchmark::State& state) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  const std::uint16_t port = freeUdpPort();
  if (!link.openReceiver(port, "127.0.0.1")) {
    state.SkipWithError("cannot open receiver");
    return;
  }
  LoopbackSender s(port);
  std::vector<double> micros;
  std::uint32_t tag = 0;
  for (auto _ : state) {
    const auto d = block(++tag);
    const auto start = clk::now();
    s.send(d);
    FlightDataBlock b;
    do {
      ex.take(b);
    } while (b.u32(0) != tag && clk::now() - start < std::chrono::seconds(1));
    micros.push_back(std::chrono::duration<double, std::micro>(clk::now() - start).count());
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
}
BENCHMARK(BM_SendToBlockLatency)->Iterations(2000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Processor time the receive thread uses while no datagram arrives.
void BM_IdleReceiverCpu(benchmark::State& state) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  if (!link.openReceiver(freeUdpPort(), "127.0.0.1")) {
    state.SkipWithError("cannot open receiver");
    return;
  }
  auto cpu = [] {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * double(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
  };
  double used = 0, wall = 0;
  for (auto _ : state) {
    const double c0 = cpu();
    const auto t0 = clk::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    wall += std::chrono::duration<double>(clk::now() - t0).count();
    used += cpu() - c0;
  }
  state.counters["cpu_ms"] = used * 1000;
  state.counters["core_percent"] = 100 * used / wall;
}
BENCHMARK(BM_IdleReceiverCpu)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
