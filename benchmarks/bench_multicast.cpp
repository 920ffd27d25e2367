// One sender, N displays on one multicast group: what each display gets
// and what is lost, with the sender sending every block once. Runs in a
// network namespace of its own, on its loopback.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "host/receive_link.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/own_network.h"

using namespace testing_support;
using clk = std::chrono::steady_clock;

namespace {

const char* const kGroup = "239.255.45.55";

struct Displays {
  explicit Displays(int n) : exchanges(std::size_t(n)) {
    port = freeUdpPort();
    for (auto& ex : exchanges) {
      links.push_back(std::make_unique<ReceiveLink>(ex));
      open = open && links.back()->openReceiver(port, kGroup);
    }
  }
  std::uint64_t delivered() const {
    std::uint64_t n = 0;
    for (const auto& l : links) n += l->packetCounter() - 1;  // counters start at 1
    return n;
  }
  RecordingSink sink;
  std::vector<FlightDataExchange> exchanges;
  std::vector<std::unique_ptr<ReceiveLink>> links;
  std::uint16_t port = 0;
  bool open = true;
};

// Blocks at a feed's steady pace (range(1) a second) for one second.
void BM_MulticastPaced(benchmark::State& state) {
  if (!ownNetworkRefusal().empty()) {
    state.SkipWithError(ownNetworkRefusal().c_str());
    return;
  }
  const int n = int(state.range(0));
  const int rate = int(state.range(1));
  Displays displays(n);
  if (!displays.open) {
    state.SkipWithError("cannot open the receivers");
    return;
  }
  LoopbackSender sender(displays.port, kGroup);
  const std::vector<std::uint8_t> block(1024, 7);
  std::int64_t sent = 0;
  for (auto _ : state) {
    const auto start = clk::now();
    for (int i = 0; i < rate; ++i) {
      std::this_thread::sleep_until(start + std::chrono::microseconds(1000000LL * i / rate));
      sent += sender.send(block);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the last ones land
  }
  const double got = double(displays.delivered());
  state.counters["sent"] = double(sent);
  state.counters["per_display"] = got / n;
  state.counters["lost"] = double(sent) * n - got;
}
BENCHMARK(BM_MulticastPaced)
    ->ArgsProduct({{1, 4, 16}, {30, 1000}})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// As fast as the sender can: where the displays stop keeping up.
void BM_MulticastFlatOut(benchmark::State& state) {
  if (!ownNetworkRefusal().empty()) {
    state.SkipWithError(ownNetworkRefusal().c_str());
    return;
  }
  const int n = int(state.range(0));
  Displays displays(n);
  if (!displays.open) {
    state.SkipWithError("cannot open the receivers");
    return;
  }
  LoopbackSender sender(displays.port, kGroup);
  const std::vector<std::uint8_t> block(1024, 7);
  std::int64_t sent = 0;
  double sending = 0;
  for (auto _ : state) {
    const auto start = clk::now();
    while (clk::now() < start + std::chrono::seconds(1)) sent += sender.send(block);
    sending += std::chrono::duration<double>(clk::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const double got = double(displays.delivered());
  state.counters["sent/s"] = double(sent) / sending;
  state.counters["per_display/s"] = got / n / sending;
  state.counters["lost_percent"] = 100.0 * (1.0 - got / (double(sent) * n));
}
BENCHMARK(BM_MulticastFlatOut)->Arg(1)->Arg(4)->Arg(16)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const std::string why = enterOwnNetwork();
  if (!why.empty()) std::fprintf(stderr, "no network namespace of our own: %s\n", why.c_str());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
