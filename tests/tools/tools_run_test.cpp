// The command-line tools run as a user runs them: exit codes, messages,
// files written, datagrams sent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli.h"
#include "host/udp_receiver.h"
#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/process.h"

using namespace testing_support;

namespace {

const std::string kSnapshot = std::string(A320_TOOLS_DIR) + "/a320-snapshot";
const std::string kFeed = std::string(A320_TOOLS_DIR) + "/a320-feed";

TEST(SnapshotTool, RefusesBadCommandLines) {
  const char* bad[] = {
      "--out /tmp/x.png --bogus 1", "--out /tmp/x.png --instrument A320_NOTHING", "--out /tmp/x.png --set 300=1",
      "--out /tmp/x.png --set 2=abc", "--out /tmp/x.png --size 0x5", "--out /tmp/x.png --rotate 45",
      "--out /tmp/x.png --frames 0", "--instrument A320_CLOCK", "--out",
      "--out /tmp/x.png --block /nonexistent/block",
  };
  for (const char* args : bad) {
    const ToolRun r = runCommand(kSnapshot + " " + args);
    EXPECT_EQ(r.code, 2) << args << "\n" << r.output;
    EXPECT_NE(r.output.find("a320-snapshot: "), std::string::npos) << args;
    EXPECT_NE(r.output.find("usage:"), std::string::npos) << args;
  }
}

TEST(SnapshotTool, DrawsTheClockAsAsked) {
  const std::string out = "/tmp/a320-snapshot-clock.png";
  std::remove(out.c_str());
  const ToolRun r = runCommand(kSnapshot + " --out " + out + " --instrument A320_CLOCK --size 300x300 --data " +
                    A320_TEST_DATA_DIR + " --set 2=21 --set 3=8.5 --set 4=#0x42300000 --set 17=#1 --rotate 90");
  ASSERT_EQ(r.code, 0) << r.output;
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(readPng(out, px, w, h));
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 300);
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  // 0x42300000 is 44.0.
  EXPECT_EQ(reader.read(px, w, h, {0, 0, 300, 300, 1, 2}, 90.0f, true), "21:08:44");
  for (std::size_t i = 3; i < px.size(); i += 4) ASSERT_EQ(px[i], 255) << "picture must be opaque";
  std::remove(out.c_str());
}

TEST(SnapshotTool, WholeLayoutHasEveryBuiltInstrument) {
  const std::string out = "/tmp/a320-snapshot-all.png";
  const ToolRun r = runCommand(kSnapshot + " --out " + out + " --data " + A320_TEST_DATA_DIR + " --set 2=12 --set 3=34 --set 4=56");
  ASSERT_EQ(r.code, 0) << r.output;
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  ASSERT_TRUE(readPng(out, px, w, h));
  ASSERT_EQ(w, 1280);
  ASSERT_EQ(h, 1024);
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  EXPECT_EQ(reader.read(px, w, h, {70, 650, 200, 200, 1, 2}, 0.0f, false), "12:34:56");
  // Slot 0, the engine display at (650, -15) 550 x 550: its dial faces put
  // white ink into the lower right of the screen.
  int lit = 0;
  for (int y = 1024 - 535; y < 1024; ++y)
    for (int x = 650; x < 1200; ++x) {
      const std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
      lit += p[0] > 200 && p[1] > 200 && p[2] > 200;
    }
  EXPECT_GT(lit, 500) << "no engine display in slot 0";
  std::remove(out.c_str());
}

// Blocks given one after the other reach the instruments in that order: the
// FUEL page counts fuel used from the fuller tanks of the first.
TEST(SnapshotTool, EarlierBlocksAreDrawnFirst) {
  auto blockFile = [](const std::string& path, float fuelLb) {
    FlightDataBlock b;
    b.setU32(40, 6u << 24);
    b.setF32(105, fuelLb);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.bytes.data()), b.bytes.size());
  };
  const std::string full = "/tmp/a320-snapshot-full.bin", burnt = "/tmp/a320-snapshot-burnt.bin";
  blockFile(full, 20000.0f);
  blockFile(burnt, 18000.0f);
  auto picture = [](const std::string& blocks) {
    const std::string out = "/tmp/a320-snapshot-fuel.png";
    const ToolRun r = runCommand(kSnapshot + " --out " + out + " --instrument A320_ECAM_SYSTEM --size 200x200 --data " +
                                 A320_TEST_DATA_DIR + blocks);
    EXPECT_EQ(r.code, 0) << r.output;
    std::vector<std::uint8_t> px;
    int w = 0, h = 0;
    EXPECT_TRUE(readPng(out, px, w, h));
    std::remove(out.c_str());
    return px;
  };
  const auto alone = picture(" --block " + burnt);
  const auto again = picture(" --block " + burnt + " --block " + burnt);
  const auto afterFull = picture(" --block " + full + " --block " + burnt);
  ASSERT_EQ(alone.size(), 200u * 200u * 4u);
  EXPECT_EQ(alone, again);
  // Fuel used, engine 1: four cells from (-0.698, 0.533); 0000 against 0453.
  int differ = 0;
  for (int y = 38; y <= 48; ++y)  // rows from the top
    for (int x = 28; x <= 52; ++x) {
      const std::size_t i = (std::size_t(y) * 200 + std::size_t(x)) * 4;
      differ += alone[i + 1] != afterFull[i + 1];
    }
  EXPECT_GT(differ, 10);
  std::remove(full.c_str());
  std::remove(burnt.c_str());
}

TEST(SnapshotTool, MissingDataIsReported) {
  const ToolRun r = runCommand(kSnapshot + " --out /tmp/a320-nodata.png --instrument A320_CLOCK --data /nonexistent");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("A320_CLOCK: Error - Data File missing!"), std::string::npos) << r.output;
  std::remove("/tmp/a320-nodata.png");
}

TEST(FeedTool, SendsBlocksToTheReceiver) {
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(port, "127.0.0.1"));
  const ToolRun feed = runCommand(kFeed + " --port " + std::to_string(port) + " --count 5 --rate 200 --set 2=12 --set 17=#3");
  ASSERT_EQ(feed.code, 0) << feed.output;
  EXPECT_NE(feed.output.find("sent 5 datagrams"), std::string::npos) << feed.output;
  int got = 0;
  FlightDataBlock b;
  while (r.receive(b.bytes.data(), b.bytes.size(), 200)) ++got;
  EXPECT_EQ(got, 5);
  EXPECT_EQ(b.f32(2), 12.0f);
  EXPECT_EQ(b.u32(17), 3u);
  r.close();
}

TEST(FeedTool, ClockFillsTimeOfDay) {
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(port, "127.0.0.1"));
  ASSERT_EQ(runCommand(kFeed + " --port " + std::to_string(port) + " --count 1 --clock").code, 0);
  FlightDataBlock b;
  ASSERT_TRUE(r.receive(b.bytes.data(), b.bytes.size(), 1000));
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int sent = int(b.f32(2)) * 3600 + int(b.f32(3)) * 60 + int(b.f32(4));
  const int here = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int d = std::abs(here - sent);
  EXPECT_TRUE(d <= 2 || d >= 86398) << sent << " vs " << here;
  r.close();
}

TEST(FeedTool, RefusesRemoteHostsAndBadOptions) {
  struct {
    const char* args;
    int code;
  } cases[] = {
      {"--host 192.0.2.1 --count 1", 2},  {"--host 10.0.0.1 --count 1", 2}, {"--port 0 --count 1", 2},
      {"--port 70000 --count 1", 2},      {"--rate 0 --count 1", 2},        {"--count 1 --duration 1", 2},
      {"--set 999=1 --count 1", 2},       {"--frobnicate", 2},              {"--host localhost --count 0", 0},
      {"--host 127.1.2.3 --count 0", 0},
  };
  for (const auto& c : cases) {
    const ToolRun r = runCommand(kFeed + " " + c.args);
    EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.output;
  }
  EXPECT_NE(runCommand(kFeed + " --host 192.0.2.1 --count 1").output.find("--allow-remote"), std::string::npos);
}

std::vector<FlightDataBlock> receiveAll(UdpReceiver& r) {
  std::vector<FlightDataBlock> got;
  FlightDataBlock b;
  while (r.receive(b.bytes.data(), b.bytes.size(), 200)) got.push_back(b);
  return got;
}

std::vector<FlightDataBlock> distinct(const std::vector<FlightDataBlock>& blocks) {
  std::vector<FlightDataBlock> out;
  for (const FlightDataBlock& b : blocks)
    if (out.empty() || out.back().bytes != b.bytes) out.push_back(b);
  return out;
}

TEST(FeedTool, RecordThenReplayGivesTheSameBlocks) {
  RecordingSink sink;
  const std::string file = "/tmp/a320-record-" + std::to_string(::getpid()) + ".scenario";
  const std::uint16_t listen = freeUdpPort();
  std::FILE* recorder = ::popen((kFeed + " --record " + file + " --port " + std::to_string(listen) +
                                 " --count 12 2>&1").c_str(), "r");
  ASSERT_NE(recorder, nullptr);
  std::array<char, 256> line{};
  ASSERT_NE(std::fgets(line.data(), line.size(), recorder), nullptr);
  EXPECT_NE(std::string(line.data()).find("recording what arrives"), std::string::npos) << line.data();

  std::vector<FlightDataBlock> sent(12);
  for (std::size_t i = 0; i < sent.size(); ++i) {
    if (i > 0) sent[i] = sent[i - 1];
    if (i == 5) continue;  // the same block twice
    sent[i].setF32(25, 100.0f + float(i) * 7.25f);
    sent[i].setU32(221, i % 2 ? 0x2002u : 0x2000u);
    sent[i].setU32(40, std::uint32_t(i % 13) << 24);
    sent[i].setU32(90 + int(i), 0x7fc00001u);  // a NaN with a payload
    sent[i].setF32(30, -0.0f);
  }
  LoopbackSender sender(listen);
  const std::vector<std::uint8_t> shortOne(100, 1);
  EXPECT_TRUE(sender.send(shortOne));  // not a block: refused, not recorded
  for (const FlightDataBlock& b : sent) {
    EXPECT_TRUE(sender.send(b.bytes.data(), b.bytes.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  std::string output;
  while (std::fgets(line.data(), line.size(), recorder)) output += line.data();
  ASSERT_EQ(WEXITSTATUS(::pclose(recorder)), 0) << output;
  EXPECT_NE(output.find("recorded 12 datagrams"), std::string::npos) << output;
  EXPECT_NE(output.find("refused 1 of another length"), std::string::npos) << output;

  const std::uint16_t port = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(port, "127.0.0.1"));
  const ToolRun replay = runCommand(kFeed + " --scenario " + file + " --port " + std::to_string(port));
  ASSERT_EQ(replay.code, 0) << replay.output;
  const std::vector<FlightDataBlock> got = distinct(receiveAll(r));
  const std::vector<FlightDataBlock> want = distinct(sent);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i].bytes, want[i].bytes) << "block " << i;
  r.close();
  std::remove(file.c_str());
}

// "Stop a recording with Ctrl-C": what arrived until then is in the file,
// the first datagram at exactly 0 so that a replay sends nothing before it.
TEST(FeedTool, RecordingStoppedBySignalKeepsWhatArrived) {
  for (const int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(sig));
    const std::string file = "/tmp/a320-record-signal-" + std::to_string(::getpid()) + ".scenario";
    const std::uint16_t listen = freeUdpPort();
    // The shell prints its process id, then becomes the recorder.
    std::FILE* recorder =
        ::popen(("echo $$; exec " + kFeed + " --record " + file + " --port " + std::to_string(listen) + " 2>&1").c_str(),
                "r");
    ASSERT_NE(recorder, nullptr);
    std::array<char, 256> line{};
    ASSERT_NE(std::fgets(line.data(), line.size(), recorder), nullptr);
    const pid_t pid = pid_t(std::atoi(line.data()));
    ASSERT_GT(pid, 1);
    ASSERT_NE(std::fgets(line.data(), line.size(), recorder), nullptr);
    EXPECT_NE(std::string(line.data()).find("recording what arrives"), std::string::npos) << line.data();

    LoopbackSender sender(listen);
    for (int i = 0; i < 3; ++i) {
      FlightDataBlock b;
      b.setF32(25, 100.0f + float(i));
      EXPECT_TRUE(sender.send(b.bytes.data(), b.bytes.size()));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(::kill(pid, sig), 0);
    std::string output;
    while (std::fgets(line.data(), line.size(), recorder)) output += line.data();
    const int status = ::pclose(recorder);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself:\n" << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("recorded 3 datagrams"), std::string::npos) << output;

    std::ifstream in(file);
    std::string text, first;
    int stamped = 0;
    for (std::string l; std::getline(in, l);)
      if (!l.empty() && l[0] != '#') {
        if (stamped++ == 0) first = l;
        text += l + "\n";
      }
    EXPECT_EQ(first.rfind("0.000000 ", 0), 0u) << text;
    EXPECT_GE(stamped, 3) << text;
    std::remove(file.c_str());
  }
}

TEST(FeedTool, PlaysTheDemoAndLoops) {
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  UdpReceiver r;
  ASSERT_TRUE(r.open(port, "127.0.0.1"));
  // By its built-in name, found beside the tools.
  ToolRun feed = runCommand(kFeed + " --scenario demo --speed 50 --count 3 --port " + std::to_string(port));
  ASSERT_EQ(feed.code, 0) << feed.output;
  std::vector<FlightDataBlock> got = receiveAll(r);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].u32(221) & 2u, 2u) << "the demo starts on the ground";
  EXPECT_EQ(got[0].f32(2), 14.0f);

  const std::string file = "/tmp/a320-loop-" + std::to_string(::getpid()) + ".scenario";
  std::ofstream(file) << "0 25=0\n0.2 25=100\n";
  feed = runCommand(kFeed + " --scenario " + file + " --loop --rate 100 --count 50 --port " + std::to_string(port));
  ASSERT_EQ(feed.code, 0) << feed.output;
  got = receiveAll(r);
  ASSERT_EQ(got.size(), 50u);
  int restarts = 0;
  for (std::size_t i = 1; i < got.size(); ++i) restarts += got[i].f32(25) < got[i - 1].f32(25);
  EXPECT_GE(restarts, 1) << "--loop starts again from 0";
  for (const FlightDataBlock& b : got) {
    EXPECT_GE(b.f32(25), 0.0f);
    EXPECT_LE(b.f32(25), 100.0f);
  }
  r.close();
  std::remove(file.c_str());
}

TEST(FeedTool, WritesTheBlockOfAMoment) {
  const std::string file = "/tmp/a320-moment-" + std::to_string(::getpid()) + ".bin";
  const ToolRun r = runCommand(kFeed + " --scenario demo --at 5:20 --write-block " + file + " --set 17=#1");
  ASSERT_EQ(r.code, 0) << r.output;
  FlightDataBlock b;
  std::string error;
  ASSERT_TRUE(cli::readBlockFile(file, b, error)) << error;
  EXPECT_EQ(b.u32(40), 0x03000000u) << "the demo shows PRESS by hand at 5:20";
  EXPECT_EQ(b.f32(29), 24000.0f) << "in cruise";
  EXPECT_EQ(b.u32(17), 1u) << "--set applies";
  std::remove(file.c_str());
}

TEST(FeedTool, RefusesBadScenarioOptions) {
  const std::string bad = "/tmp/a320-bad-" + std::to_string(::getpid()) + ".scenario";
  std::ofstream(bad) << "# fine\n0 25=1\n2 25=x\n";
  struct {
    std::string args;
    const char* says;
  } cases[] = {
      {"--speed 2 --count 1", "--speed and --loop go with --scenario"},
      {"--loop --count 1", "--speed and --loop go with --scenario"},
      {"--scenario demo --speed 0 --count 1", "--speed wants"},
      {"--scenario /nonexistent/x.scenario --count 1", "no scenario '/nonexistent/x.scenario'"},
      {"--scenario nothing-like-it --count 1", "nothing-like-it.scenario"},
      {"--scenario " + bad + " --count 1", ":3: 'x' is not a number"},
      {"--scenario demo --block /tmp/x --count 1", "not both"},
      {"--record /tmp/x.scenario --set 2=1", "--record only listens"},
      {"--record /tmp/x.scenario --host 192.0.2.1", "--allow-remote"},
      {"--write-block /tmp/x.bin --count 1", "go with --scenario"},
      {"--scenario demo --at 1:00", "go with --scenario"},
      {"--scenario demo --at soon --write-block /tmp/x.bin", "--at: a line starts with its time"},
  };
  for (const auto& c : cases) {
    const ToolRun r = runCommand(kFeed + " " + c.args);
    EXPECT_EQ(r.code, 2) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << "\n" << r.output;
  }
  std::remove(bad.c_str());
}

}  // namespace
