#include "host/receive_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/loopback.h"
#include "support/offscreen.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// Polls until the condition holds or two seconds pass.
template <class F>
bool eventually(F f) {
  const auto end = std::chrono::steady_clock::now() + 2s;
  while (std::chrono::steady_clock::now() < end) {
    if (f()) return true;
    std::this_thread::sleep_for(1ms);
  }
  return f();
}

std::vector<std::uint8_t> blockOf(std::uint32_t word0, std::size_t n = 1024) {
  std::vector<std::uint8_t> d(n, 0);
  for (int i = 0; i < 4 && i < int(n); ++i) d[i] = std::uint8_t(word0 >> (8 * i));
  return d;
}

std::uint32_t word0(const FlightDataExchange& ex) {
  FlightDataBlock b;
  ex.take(b);
  return b.u32(0);
}

TEST(ReceiveLink, DatagramsReachTheBlockAndOthersDoNotCount) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(link.openReceiver(port, "127.0.0.1"));
  EXPECT_EQ(link.packetCounter(), 1u);
  LoopbackSender s(port);

  ASSERT_TRUE(s.send(blockOf(7)));
  ASSERT_TRUE(eventually([&] { return word0(ex) == 7; }));
  EXPECT_EQ(link.packetCounter(), 2u);

  for (std::size_t n : {0, 1, 1023, 1025, 65507}) ASSERT_TRUE(s.send(blockOf(99, n)));
  ASSERT_TRUE(s.send(blockOf(8)));
  ASSERT_TRUE(eventually([&] { return word0(ex) == 8; }));
  EXPECT_EQ(link.packetCounter(), 3u);  // only the two 1024-byte datagrams counted
  link.closeReceiver();
  EXPECT_FALSE(link.receiverOpen());
  EXPECT_TRUE(sink.messages.empty());
}

TEST(ReceiveLink, PortInUseStartsNoThread) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink holder(ex), link(ex);
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(holder.openReceiver(port, "127.0.0.1"));
  EXPECT_FALSE(link.openReceiver(port, "127.0.0.1"));
  EXPECT_FALSE(link.receiverOpen());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "Error bind(...)");
  LoopbackSender s(port);
  ASSERT_TRUE(s.send(blockOf(5)));
  ASSERT_TRUE(eventually([&] { return holder.packetCounter() == 2u; }));
  EXPECT_EQ(link.packetCounter(), 1u);
}

TEST(ReceiveLink, ReopenOnNewPortAfterClose) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  const std::uint16_t first = freeUdpPort();
  ASSERT_TRUE(link.openReceiver(first, "127.0.0.1"));
  link.closeReceiver();
  const std::uint16_t second = freeUdpPort();
  ASSERT_TRUE(link.openReceiver(second, "127.0.0.1"));
  LoopbackSender old(first), now(second);
  ASSERT_TRUE(old.send(blockOf(1)));
  ASSERT_TRUE(now.send(blockOf(2)));
  ASSERT_TRUE(eventually([&] { return word0(ex) == 2; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(link.packetCounter(), 2u);
  // The first port is free again: someone else can bind it.
  UdpReceiver other;
  EXPECT_TRUE(other.open(first, "127.0.0.1"));
  other.close();
  EXPECT_TRUE(sink.messages.empty());
}

// A reopen that fails leaves neither thread nor watchdog, so it blanks the
// block itself: the last datagram must not stay on the instruments.
TEST(ReceiveLink, AFailedReopenLeavesNoThreadAndBlanks) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink holder(ex);
  const std::uint16_t busy = freeUdpPort();
  ASSERT_TRUE(holder.openReceiver(busy, "127.0.0.1"));
  struct {
    const char* name;
    std::uint16_t port;
  } cases[] = {{"port in use", busy}, {"port 0, which would bind a random one", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sink.messages.clear();
    FlightDataExchange shown;
    ReceiveLink link(shown);
    const std::uint16_t first = freeUdpPort();
    ASSERT_TRUE(link.openReceiver(first, "127.0.0.1"));
    LoopbackSender s(first);
    ASSERT_TRUE(s.send(blockOf(9)));
    ASSERT_TRUE(eventually([&] { return word0(shown) == 9; }));
    link.closeReceiver();
    EXPECT_EQ(word0(shown), 9u);  // a close alone keeps the picture for a reopen
    EXPECT_FALSE(link.openReceiver(c.port, "127.0.0.1"));
    EXPECT_FALSE(link.receiverOpen());
    EXPECT_EQ(word0(shown), 0u);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error bind(...)"});
  }
}

TEST(ReceiveLink, WatchdogBlanksAStoppedFeedOnly) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  const std::uint16_t port = freeUdpPort();
  ASSERT_TRUE(link.openReceiver(port, "127.0.0.1"));
  LoopbackSender s(port);
  // First tick after start never clears: counter 1, last seen 0.
  EXPECT_FALSE(link.watchdogTick());
  ASSERT_TRUE(s.send(blockOf(42)));
  ASSERT_TRUE(eventually([&] { return word0(ex) == 42; }));
  EXPECT_FALSE(link.watchdogTick());  // a datagram came since the last tick
  EXPECT_EQ(word0(ex), 42u);
  EXPECT_TRUE(link.watchdogTick());  // nothing since: blank
  EXPECT_EQ(word0(ex), 0u);
  ASSERT_TRUE(s.send(blockOf(43)));
  ASSERT_TRUE(eventually([&] { return word0(ex) == 43; }));
  EXPECT_FALSE(link.watchdogTick());
  EXPECT_EQ(word0(ex), 43u);
}

TEST(ReceiveLink, StopEndsTheThreadPromptly) {
  RecordingSink sink;
  FlightDataExchange ex;
  ReceiveLink link(ex);
  ASSERT_TRUE(link.openReceiver(freeUdpPort(), "127.0.0.1"));
  std::this_thread::sleep_for(30ms);
  const auto start = std::chrono::steady_clock::now();
  link.closeReceiver();
  // The thread waits at most one poll period; allow slack for a loaded
  // machine or a sanitizer build.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  static_assert(ReceiveLink::kPollMs <= 50);
}

TEST(FlightDataExchange, AFrameNeverMixesTwoDatagrams) {
  FlightDataExchange ex;
  std::atomic<bool> done{false}, reading{false};
  std::thread writer([&] {
    // On a busy machine the writer could finish before a single frame.
    while (!reading) std::this_thread::yield();
    std::array<std::uint8_t, kFlightDataBytes> d{};
    for (std::uint32_t k = 1; k <= 20000; ++k) {
      for (int w = 0; w < kFlightDataWords; ++w) std::memcpy(&d[std::size_t(w) * 4], &k, 4);
      ex.publish(d.data());
    }
    done = true;
  });
  long mixed = 0, frames = 0;
  std::uint32_t last = 0;
  bool monotonic = true;
  do {
    FlightDataBlock b;
    ex.take(b);
    reading = true;
    const std::uint32_t first = b.u32(0);
    for (int w = 1; w < kFlightDataWords; ++w)
      if (b.u32(w) != first) {
        ++mixed;
        break;
      }
    if (first < last) monotonic = false;
    last = first;
    ++frames;
  } while (!done);
  writer.join();
  EXPECT_GT(frames, 0);
  EXPECT_EQ(mixed, 0);
  EXPECT_TRUE(monotonic);
}

}  // namespace
