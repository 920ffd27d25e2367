// The whole program as a cockpit PC runs it: a320-display under a virtual
// X server of one 1280 x 1024 monitor, gauges shown at start, once fed
// with the demo flight by a320-feed and once with nothing arriving.
// Prints, one per line, "figure value":
//   start_to_lit_ms    from starting the program to the first instrument on the screen
//   cpu_percent_feed   processor time of all its threads over the run, in % of one core
//   cpu_percent_idle   the same with no datagrams arriving
//   fps_feed, fps_idle frames drawn a second (a busy machine drops some, and with them time)
//   cpu_ms_per_frame_feed, cpu_ms_per_frame_idle
//   rss_mb_feed        resident memory at the end of the fed run, and its peak
//   rss_peak_mb_feed
// Usage: bench_program [SECONDS] (30 by default, per run).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback.h"
#include "support/xvfb.h"

using namespace testing_support;
using clk = std::chrono::steady_clock;

namespace {

struct Usage {
  double cpuSeconds = 0;
  double rssMb = 0, peakMb = 0;
};

Usage usageOf(pid_t pid) {
  Usage u;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // Fields after the command name, which sits in parentheses.
  const std::size_t close = line.rfind(')');
  if (close != std::string::npos) {
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    std::vector<std::string> f;
    while (rest >> field) f.push_back(field);
    // utime and stime are fields 14 and 15 of the whole line.
    if (f.size() > 12) u.cpuSeconds = (std::stod(f[11]) + std::stod(f[12])) / double(sysconf(_SC_CLK_TCK));
  }
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) u.rssMb = std::stod(line.substr(6)) / 1024.0;
    if (line.rfind("VmHWM:", 0) == 0) u.peakMb = std::stod(line.substr(6)) / 1024.0;
  }
  return u;
}

// The standby row of the default layout is lit: at least four of its five
// slots mostly lit, which the status dialog alone cannot do.
bool instrumentsLit(const Xvfb& x) {
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  if (!x.screenshot(px, w, h) || w != 1280 || h != 1024) return false;
  const int left[5] = {70, 290, 520, 750, 980};
  int slots = 0;
  for (int s = 0; s < 5; ++s) {
    int lit = 0;
    for (int y = 1024 - 850; y < 1024 - 650; ++y)
      for (int x0 = left[s]; x0 < left[s] + 200; ++x0) {
        const std::uint8_t* p = &px[(std::size_t(y) * 1280 + std::size_t(x0)) * 4];
        lit += p[0] > 40 || p[1] > 40 || p[2] > 40;
      }
    slots += lit > 200 * 200 / 4;
  }
  return slots >= 4;
}

unsigned long framesDrawn(const std::string& file) {
  std::ifstream in(file);
  unsigned long n = 0;
  in >> n;
  return n;
}

struct Run {
  double litMs = -1;
  double cpuPercent = 0, fps = 0, cpuMsPerFrame = 0;
  Usage end;
};

Run measure(const Xvfb& x, bool fed, int seconds) {
  char dirTemplate[] = "/tmp/a320-bench-XXXXXX";
  const std::string dir = mkdtemp(dirTemplate);
  const std::uint16_t port = freeUdpPort();
  std::ofstream(dir + "/a320-display.cfg") << "[SYSTEM]\nAUTOSHOW=1\nPORT=" << port << "\n";
  if (symlink(A320_BINARY_DIR "/Data", (dir + "/Data").c_str()) != 0) std::perror("symlink Data");

  pid_t feed = -1;
  if (fed)
    feed = spawnProcess({A320_TOOLS_DIR "/a320-feed", "--scenario", "demo", "--loop", "--speed", "4", "--port",
                         std::to_string(port)},
                        {}, dir, dir + "/feed.log");
  Run r;
  const auto start = clk::now();
  const std::string frames = dir + "/frames";
  const pid_t display = spawnProcess(
      {A320_BINARY_DIR "/src/a320-display"},
      {"DISPLAY=" + x.display(), "LD_PRELOAD=" A320_FRAME_COUNTER, "A320_FRAME_COUNT_FILE=" + frames}, dir,
      dir + "/display.log");
  while (clk::now() - start < std::chrono::seconds(20)) {
    if (instrumentsLit(x)) {
      r.litMs = std::chrono::duration<double, std::milli>(clk::now() - start).count();
      break;
    }
  }
  // Settled: textures loaded, shaders built.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const Usage before = usageOf(display);
  const unsigned long framesBefore = framesDrawn(frames);
  const auto t0 = clk::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  r.end = usageOf(display);
  const unsigned long drawn = framesDrawn(frames) - framesBefore;
  const double wall = std::chrono::duration<double>(clk::now() - t0).count();
  const double cpu = r.end.cpuSeconds - before.cpuSeconds;
  r.cpuPercent = 100.0 * cpu / wall;
  r.fps = double(drawn) / wall;
  r.cpuMsPerFrame = drawn ? 1000.0 * cpu / double(drawn) : 0.0;
  stopProcess(display);
  if (feed > 0) stopProcess(feed);
  std::filesystem::remove_all(dir);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  Xvfb x(1280, 1024);
  if (!x.up()) {
    std::fprintf(stderr, "bench_program: no virtual X server (is Xvfb installed?)\n");
    return 1;
  }
  const Run fed = measure(x, true, seconds);
  const Run idle = measure(x, false, seconds);
  if (fed.litMs < 0 || idle.litMs < 0) {
    std::fprintf(stderr, "bench_program: the instruments never showed; see the display's log\n");
    return 1;
  }
  std::printf("start_to_lit_ms %.0f\n", std::min(fed.litMs, idle.litMs));
  std::printf("cpu_percent_feed %.1f\n", fed.cpuPercent);
  std::printf("cpu_percent_idle %.1f\n", idle.cpuPercent);
  std::printf("fps_feed %.1f\n", fed.fps);
  std::printf("fps_idle %.1f\n", idle.fps);
  std::printf("cpu_ms_per_frame_feed %.2f\n", fed.cpuMsPerFrame);
  std::printf("cpu_ms_per_frame_idle %.2f\n", idle.cpuMsPerFrame);
  std::printf("rss_mb_feed %.0f\n", fed.end.rssMb);
  std::printf("rss_peak_mb_feed %.0f\n", fed.end.peakMb);
  return 0;
}
