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
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli.h"
#include "host/udp_receiver.h"
#include "support/clock_reader.h"
#include "support/golden.h"
#include "support/loopback.h"
#include "support/offscreen.h"
#include "support/process.h"
#include "support/situations.h"

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

// What the tool draws is what the program draws: the whole layout at its
// default size, a page whose fuel used counts from the earlier block, and a
// page drawn for many frames, against their reference pictures.
TEST(SnapshotTool, DrawsTheReferencePictures) {
  for (const char* name : {"layout-climb", "sd-fuel", "sd-apu"}) {
    SCOPED_TRACE(name);
    const Situation* s = findSituation(name);
    ASSERT_NE(s, nullptr);
    const std::string scratch = testing::TempDir() + "a320-snapshot-" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(scratch);
    // One frame and no rotation are the tool's defaults, so those go unsaid.
    std::string args = s->frames == 1 ? "" : " --frames " + std::to_string(s->frames);
    if (s->rotation != 0.0f) args += " --rotate " + std::to_string(int(s->rotation));
    if (s->type >= 0)
      args += std::string(" --instrument ") + instrumentIdentifier(s->type) + " --size " + std::to_string(s->width) +
              "x" + std::to_string(s->height);
    for (std::size_t i = 0; i < s->blocks.size(); ++i) {
      const std::string file = scratch + std::to_string(i) + ".bin";
      std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(s->blocks[i].bytes.data()), kFlightDataBytes);
      args += " --block " + file;
    }
    const ToolRun r = runCommand(kSnapshot + " --out " + scratch + "out.png --data " + A320_TEST_DATA_DIR + args);
    ASSERT_EQ(r.code, 0) << r.output;
    std::vector<std::uint8_t> px;
    int w = 0, h = 0;
    ASSERT_TRUE(readPng(scratch + "out.png", px, w, h));
    EXPECT_TRUE(MatchesReference(name, px, w, h));
    std::filesystem::remove_all(scratch);
  }
}

TEST(SnapshotTool, MissingDataIsReported) {
  const ToolRun r = runCommand(kSnapshot + " --out /tmp/a320-nodata.png --instrument A320_CLOCK --data /nonexistent");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_NE(r.output.find("A320_CLOCK: Error - Data File missing!"), std::string::npos) << r.output;
  std::remove("/tmp/a320-nodata.png");
}

// The display's side of a feed: a receiver on a free loopback port.
struct Display {
  Display() { EXPECT_TRUE(receiver.open(port, "127.0.0.1")); }
  ~Display() { receiver.close(); }
  // Every block until the socket stays quiet.
  std::vector<FlightDataBlock> receiveAll() {
    std::vector<FlightDataBlock> got;
    FlightDataBlock b;
    while (receiver.receive(b.bytes.data(), b.bytes.size(), 200)) got.push_back(b);
    return got;
  }
  RecordingSink sink;
  const std::uint16_t port = freeUdpPort();
  const std::string to = " --port " + std::to_string(port);
  UdpReceiver receiver;
};

TEST(FeedTool, SendsBlocksToTheDisplay) {
  Display d;
  const ToolRun feed = runCommand(kFeed + d.to + " --count 5 --rate 200 --set 2=12 --set 17=#3");
  ASSERT_EQ(feed.code, 0) << feed.output;
  EXPECT_NE(feed.output.find("sent 5 datagrams"), std::string::npos) << feed.output;
  const std::vector<FlightDataBlock> got = d.receiveAll();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got.back().f32(2), 12.0f);
  EXPECT_EQ(got.back().u32(17), 3u);

  // --clock: the time of day here.
  ASSERT_EQ(runCommand(kFeed + d.to + " --count 1 --clock").code, 0);
  const std::vector<FlightDataBlock> clock = d.receiveAll();
  ASSERT_EQ(clock.size(), 1u);
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int sent = int(clock[0].f32(2)) * 3600 + int(clock[0].f32(3)) * 60 + int(clock[0].f32(4));
  const int here = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int diff = std::abs(here - sent);
  EXPECT_TRUE(diff <= 2 || diff >= 86398) << sent << " vs " << here;
}

std::vector<FlightDataBlock> distinct(const std::vector<FlightDataBlock>& blocks) {
  std::vector<FlightDataBlock> out;
  for (const FlightDataBlock& b : blocks)
    if (out.empty() || out.back().bytes != b.bytes) out.push_back(b);
  return out;
}

// a320-feed --record in the background: the shell prints its process id,
// then becomes the recorder, whose first line says that it listens.
struct Recording {
  Recording(const std::string& file, std::uint16_t port, const std::string& more = "") {
    pipe = ::popen(("echo $$; exec " + kFeed + " --record " + file + " --port " + std::to_string(port) + more + " 2>&1")
                       .c_str(),
                   "r");
    pid = pid_t(std::atoi(line().c_str()));
    first = line();
  }
  std::string line() {
    std::array<char, 256> l{};
    return pipe && std::fgets(l.data(), l.size(), pipe) ? l.data() : "";
  }
  // Reads the rest of the output; the status as waitpid gives it.
  int finish() {
    for (std::string l = line(); !l.empty(); l = line()) output += l;
    return ::pclose(pipe);
  }
  std::FILE* pipe = nullptr;
  pid_t pid = 0;
  std::string first, output;
};

TEST(FeedTool, RecordThenReplayGivesTheSameBlocks) {
  const std::string file = "/tmp/a320-record-" + std::to_string(::getpid()) + ".scenario";
  const std::uint16_t listen = freeUdpPort();
  Recording recording(file, listen, " --count 12");
  EXPECT_NE(recording.first.find("recording what arrives"), std::string::npos) << recording.first;

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
  ASSERT_EQ(WEXITSTATUS(recording.finish()), 0) << recording.output;
  EXPECT_NE(recording.output.find("recorded 12 datagrams"), std::string::npos) << recording.output;
  EXPECT_NE(recording.output.find("refused 1 of another length"), std::string::npos) << recording.output;

  Display d;
  const ToolRun replay = runCommand(kFeed + " --scenario " + file + d.to);
  ASSERT_EQ(replay.code, 0) << replay.output;
  const std::vector<FlightDataBlock> got = distinct(d.receiveAll());
  const std::vector<FlightDataBlock> want = distinct(sent);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i].bytes, want[i].bytes) << "block " << i;
  std::remove(file.c_str());
}

// "Stop a recording with Ctrl-C": what arrived until then is in the file,
// the first datagram at exactly 0 so that a replay sends nothing before it.
TEST(FeedTool, RecordingStoppedBySignalKeepsWhatArrived) {
  for (const int sig : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(sig));
    const std::string file = "/tmp/a320-record-signal-" + std::to_string(::getpid()) + ".scenario";
    const std::uint16_t listen = freeUdpPort();
    Recording recording(file, listen);
    ASSERT_GT(recording.pid, 1);
    EXPECT_NE(recording.first.find("recording what arrives"), std::string::npos) << recording.first;
    LoopbackSender sender(listen);
    for (int i = 0; i < 3; ++i) {
      FlightDataBlock b;
      b.setF32(25, 100.0f + float(i));
      EXPECT_TRUE(sender.send(b.bytes.data(), b.bytes.size()));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(::kill(recording.pid, sig), 0);
    const int status = recording.finish();
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself:\n" << recording.output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << recording.output;
    EXPECT_NE(recording.output.find("recorded 3 datagrams"), std::string::npos) << recording.output;

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
  Display d;
  // By its built-in name, found beside the tools.
  ToolRun feed = runCommand(kFeed + " --scenario demo --speed 50 --count 3" + d.to);
  ASSERT_EQ(feed.code, 0) << feed.output;
  std::vector<FlightDataBlock> got = d.receiveAll();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].u32(221) & 2u, 2u) << "the demo starts on the ground";
  EXPECT_EQ(got[0].f32(2), 14.0f);

  const std::string file = "/tmp/a320-loop-" + std::to_string(::getpid()) + ".scenario";
  std::ofstream(file) << "0 25=0\n0.2 25=100\n";
  feed = runCommand(kFeed + " --scenario " + file + " --loop --rate 100 --count 50" + d.to);
  ASSERT_EQ(feed.code, 0) << feed.output;
  got = d.receiveAll();
  ASSERT_EQ(got.size(), 50u);
  int restarts = 0;
  for (std::size_t i = 1; i < got.size(); ++i) restarts += got[i].f32(25) < got[i - 1].f32(25);
  EXPECT_GE(restarts, 1) << "--loop starts again from 0";
  for (const FlightDataBlock& b : got) {
    EXPECT_GE(b.f32(25), 0.0f);
    EXPECT_LE(b.f32(25), 100.0f);
  }
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

TEST(FeedTool, RefusesBadOptionsAndRemoteHosts) {
  const std::string bad = "/tmp/a320-bad-" + std::to_string(::getpid()) + ".scenario";
  std::ofstream(bad) << "# fine\n0 25=1\n2 25=x\n";
  struct {
    std::string args;
    int code;
    const char* says;
  } cases[] = {
      {"--host 192.0.2.1 --count 1", 2, "--allow-remote"},
      {"--host 10.0.0.1 --count 1", 2, "--allow-remote"},
      {"--host localhost --count 0", 0, ""},
      {"--host 127.1.2.3 --count 0", 0, ""},
      {"--port 0 --count 1", 2, "--port wants 1 to 65535"},
      {"--port 70000 --count 1", 2, "--port wants 1 to 65535"},
      {"--rate 0 --count 1", 2, "--rate wants"},
      {"--count 1 --duration 1", 2, "not both"},
      {"--set 999=1 --count 1", 2, "a320-feed: "},
      {"--frobnicate", 2, "option --frobnicate needs a value"},
      {"--speed 2 --count 1", 2, "--speed and --loop go with --scenario"},
      {"--loop --count 1", 2, "--speed and --loop go with --scenario"},
      {"--scenario demo --speed 0 --count 1", 2, "--speed wants"},
      {"--scenario /nonexistent/x.scenario --count 1", 2, "no scenario '/nonexistent/x.scenario'"},
      {"--scenario nothing-like-it --count 1", 2, "nothing-like-it.scenario"},
      {"--scenario " + bad + " --count 1", 2, ":3: 'x' is not a number"},
      {"--scenario demo --block /tmp/x --count 1", 2, "not both"},
      {"--record /tmp/x.scenario --set 2=1", 2, "--record only listens"},
      {"--record /tmp/x.scenario --host 192.0.2.1", 2, "--allow-remote"},
      {"--write-block /tmp/x.bin --count 1", 2, "go with --scenario"},
      {"--scenario demo --at 1:00", 2, "go with --scenario"},
      {"--scenario demo --at soon --write-block /tmp/x.bin", 2, "--at: a line starts with its time"},
  };
  for (const auto& c : cases) {
    const ToolRun r = runCommand(kFeed + " " + c.args);
    EXPECT_EQ(r.code, c.code) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << "\n" << r.output;
  }
  std::remove(bad.c_str());
}

}  // namespace
