// a320-soak: the whole program under a virtual X server for a long time,
// flooded over loopback with random, hostile and malformed datagrams
// between stretches of a real flight and quiet pauses. It samples the
// program's memory and CPU, and at the end checks that a plain block still
// shows on screen. scripts/soak.sh builds and runs it.
#include <signal.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/instrument_window.h"
#include "platform/png_file.h"
#include "scenario.h"
#include "support/clock_reader.h"
#include "support/loopback.h"
#include "support/qt_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

volatile sig_atomic_t g_stop = 0;
void onSignal(int) { g_stop = 1; }

struct Sample {
  double minutes;
  double rssMb;
  double cpuSeconds;
};

// Resident memory and CPU time of a process from /proc; false once it is gone.
bool sampleProcess(pid_t pid, double minutes, Sample& out) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  double rssKb = -1;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) rssKb = std::atof(line.c_str() + 6);
  std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  const std::size_t close = stat.rfind(')');
  if (rssKb < 0 || close == std::string::npos) return false;
  // Fields after the command name, counted from field 3 (the state).
  std::istringstream rest(stat.substr(close + 2));
  std::vector<std::string> fields;
  for (std::string f; rest >> f;) fields.push_back(f);
  if (fields.size() < 13) return false;
  const double ticks = double(sysconf(_SC_CLK_TCK));
  out = {minutes, rssKb / 1024.0, (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) / ticks};
  return true;
}

// Least-squares slope of memory over time, MB per minute.
double memoryTrend(const std::vector<Sample>& s, std::size_t from) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t i = from; i < s.size(); ++i) {
    n += 1;
    sx += s[i].minutes;
    sy += s[i].rssMb;
    sxx += s[i].minutes * s[i].minutes;
    sxy += s[i].minutes * s[i].rssMb;
  }
  const double d = n * sxx - sx * sx;
  return n < 2 || d <= 0 ? 0.0 : (n * sxy - sx * sy) / d;
}

std::uint32_t nastyWord(std::mt19937& rng) {
  static const float specials[] = {NAN, -NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 3.4e38f, -3.4e38f,
                                   2147483648.0f, -2147483904.0f, 1e-45f, 99.999f, 16384.0f, 1e10f};
  switch (rng() % 4) {
    case 0: return rng();
    case 1: return std::bit_cast<std::uint32_t>(specials[rng() % std::size(specials)]);
    case 2: return std::bit_cast<std::uint32_t>(float(int(rng() % 200001) - 100000) / float(1 + rng() % 100));
    default: return rng() % 64;
  }
}

struct Counts {
  long long random = 0, nasty = 0, malformed = 0, flight = 0, pauses = 0, failedSends = 0;
};

class Flood {
 public:
  Flood(std::uint16_t port, unsigned seed, const scenario::Scenario* flight)
      : sender_(port), rng_(seed), flight_(flight) {}

  // One stretch of one kind, a few seconds long.
  void stretch(Counts& c) {
    const int kind = int(rng_() % 6);
    const auto length = std::chrono::milliseconds(500 + rng_() % 8000);
    const auto end = Clock::now() + length;
    if (kind == 0) {  // silence, often past the watchdog's five seconds
      ++c.pauses;
      while (Clock::now() < end && !g_stop) std::this_thread::sleep_for(50ms);
      return;
    }
    while (Clock::now() < end && !g_stop) {
      switch (kind) {
        case 1: send(randomBytes(1024), c.random, 400us); break;
        case 2: send(nastyBlock(), c.nasty, 600us); break;
        case 3: send(malformed(), c.malformed, 1000us); break;
        case 4: send(flightBlock(), c.flight, 30ms); break;
        default: {  // everything at once, as fast as it goes
          const int pick = int(rng_() % 4);
          if (pick == 0) send(randomBytes(1024), c.random, 0us);
          else if (pick == 1) send(nastyBlock(), c.nasty, 0us);
          else if (pick == 2) send(malformed(), c.malformed, 0us);
          else send(flightBlock(), c.flight, 0us);
        }
      }
    }
  }

  void send(const std::vector<std::uint8_t>& d, long long& count, std::chrono::microseconds gap) {
    // A full socket buffer is no fault of the program under test.
    if (sender_.send(d)) ++count;
    if (gap.count() > 0) std::this_thread::sleep_for(gap);
  }

 private:
  std::vector<std::uint8_t> randomBytes(std::size_t n) {
    std::vector<std::uint8_t> d(n);
    for (auto& b : d) b = std::uint8_t(rng_());
    return d;
  }
  std::vector<std::uint8_t> nastyBlock() {
    FlightDataBlock b;
    for (int w = 0; w < kFlightDataWords; ++w) b.setU32(w, nastyWord(rng_));
    return {b.bytes.begin(), b.bytes.end()};
  }
  std::vector<std::uint8_t> malformed() {
    static const std::size_t sizes[] = {0, 1, 4, 512, 1000, 1020, 1023, 1025, 1028, 1400, 2048, 8192, 65000};
    return randomBytes(sizes[rng_() % std::size(sizes)]);
  }
  std::vector<std::uint8_t> flightBlock() {
    FlightDataBlock b;
    if (flight_) {
      flightTime_ = std::fmod(flightTime_ + 0.03, std::max(1.0, flight_->endTime));
      flight_->sample(flightTime_, b);
    }
    return {b.bytes.begin(), b.bytes.end()};
  }

  LoopbackSender sender_;
  std::mt19937 rng_;
  const scenario::Scenario* flight_;
  double flightTime_ = 0;
};

// Sends a block whose clock reads 12:34:56 until the screen shows it.
std::string clockAfterPlainBlocks(const Xvfb& x, std::uint16_t port, std::vector<std::uint8_t>& px, int& w, int& h) {
  LoopbackSender sender(port);
  FlightDataBlock b;
  b.setF32(2, 12.0f);
  b.setF32(3, 34.0f);
  b.setF32(4, 56.0f);
  ClockReader reader(std::string(A320_TEST_DATA_DIR) + "/01240001.tex");
  const Placement clock = InstrumentWindow::defaultPlacement(2);
  std::string shown;
  for (int i = 0; i < 300 && shown != "12:34:56"; ++i) {
    sender.send(b.bytes.data(), b.bytes.size());
    std::this_thread::sleep_for(40ms);
    if (i % 5 == 4 && x.screenshot(px, w, h)) shown = reader.read(px, w, h, clock, 0.0f, false);
  }
  return shown;
}

// Slots whose rectangle on the screen is all black: an instrument that
// stopped drawing.
int blankSlots(const std::vector<std::uint8_t>& px, int w, int h) {
  int blank = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Placement p = InstrumentWindow::defaultPlacement(slot);
    long long lit = 0, all = 0;
    for (int y = std::max(0, p.y); y < std::min(h, p.y + p.height); ++y)
      for (int x = std::max(0, p.x); x < std::min(w, p.x + p.width); ++x) {
        const std::uint8_t* q = &px[(std::size_t(h - 1 - y) * w + x) * 4];
        ++all;
        if (q[0] + q[1] + q[2] > 60) ++lit;
      }
    if (all > 0 && lit * 100 < all) ++blank;
  }
  return blank;
}

int usage() {
  std::fprintf(stderr,
               "usage: a320-soak --minutes M [--seed N] [--out FOLDER]\n"
               "Runs a320-display under Xvfb for M minutes of random and malformed datagrams.\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  double minutes = 0;
  unsigned seed = 1;
  std::string out = "/tmp/a320-soak";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) return usage();
    if (a == "--minutes") minutes = std::atof(argv[++i]);
    else if (a == "--seed") seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
    else if (a == "--out") out = argv[++i];
    else return usage();
  }
  if (!(minutes > 0)) return usage();
  if (std::system("command -v Xvfb xwd >/dev/null") != 0) {
    std::fprintf(stderr, "a320-soak: needs Xvfb and xwd (Debian packages xvfb and x11-apps)\n");
    return 2;
  }
  signal(SIGINT, onSignal);
  signal(SIGTERM, onSignal);
  fs::create_directories(out);

  std::string error;
  scenario::Scenario flight;
  const std::string demo = scenario::locate("demo", error);
  const bool haveFlight = !demo.empty() && scenario::load(demo, flight, error);
  if (!haveFlight) std::fprintf(stderr, "a320-soak: no demo flight (%s); flight stretches send zeros\n", error.c_str());

  Xvfb x(1280, 1024);
  if (!x.up()) {
    std::fprintf(stderr, "a320-soak: Xvfb did not start\n");
    return 1;
  }
  const std::string dir = makeScratchFolder("soak"), runtime = makeScratchFolder("soak-run");
  fs::create_symlink(A320_TEST_DATA_DIR, dir + "/Data");
  fs::copy_file(std::string(A320_BINARY_DIR) + "/src/a320-display", dir + "/a320-display");
  const std::uint16_t port = freeUdpPort();
  writeFile(dir + "/a320-display.cfg", "[SYSTEM]\nVERSION=v1.1\nPORT=" + std::to_string(port) + "\nAUTOSHOW=1\n");
  const std::string log = out + "/a320-display.log";
  const pid_t app = spawnProcess({dir + "/a320-display"},
                                 {"DISPLAY=" + x.display(), "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime,
                                  "XDG_CONFIG_HOME=" + runtime},
                                 dir, log);
  std::vector<std::uint8_t> px;
  int w = 0, h = 0;
  const std::string before = clockAfterPlainBlocks(x, port, px, w, h);
  std::printf("soak: port %u, display %s, %.1f min, seed %u; clock before: %s\n", unsigned(port),
              x.display().c_str(), minutes, seed, before.c_str());
  std::fflush(stdout);

  Flood flood(port, seed, haveFlight ? &flight : nullptr);
  Counts counts;
  std::vector<Sample> samples;
  const auto start = Clock::now();
  auto nextSample = start;
  const auto sinceStart = [&] { return std::chrono::duration<double>(Clock::now() - start).count() / 60.0; };
  bool alive = true;
  while (alive && !g_stop && sinceStart() < minutes) {
    if (Clock::now() >= nextSample) {
      Sample s;
      alive = waitExit(app, 0) == -1 && sampleProcess(app, sinceStart(), s);
      if (alive) samples.push_back(s);
      nextSample = Clock::now() + 10s;
      if (alive && samples.size() % 30 == 1)
        std::printf("soak: %5.1f min  RSS %6.1f MB  CPU %7.1f s\n", s.minutes, s.rssMb, s.cpuSeconds);
      std::fflush(stdout);
      continue;
    }
    flood.stretch(counts);
  }
  const double ran = sinceStart();

  std::string after;
  int blank = -1;
  if (alive) {
    after = clockAfterPlainBlocks(x, port, px, w, h);
    alive = waitExit(app, 0) == -1;
    blank = blankSlots(px, w, h);
    if (!platform::writePngRgba(out + "/final.png", w, h, px, &error))
      std::fprintf(stderr, "a320-soak: final picture not written: %s\n", error.c_str());
  }
  stopProcess(app);
  fs::remove_all(dir);
  fs::remove_all(runtime);

  std::printf("soak: ran %.1f min; survived: %s%s\n", ran, alive ? "yes" : "NO", g_stop ? " (stopped by a signal)" : "");
  std::printf("soak: sent %lld random, %lld hostile, %lld malformed, %lld flight datagrams; %lld pauses\n",
              counts.random, counts.nasty, counts.malformed, counts.flight, counts.pauses);
  if (samples.size() >= 2) {
    const Sample& a = samples.front();
    const Sample& b = samples.back();
    double peak = 0, maxRss = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
      const double dt = (samples[i].minutes - samples[i - 1].minutes) * 60.0;
      if (dt > 0) peak = std::max(peak, (samples[i].cpuSeconds - samples[i - 1].cpuSeconds) / dt);
      maxRss = std::max(maxRss, samples[i].rssMb);
    }
    // The first tenth settles caches and the driver's pools.
    const std::size_t settled = samples.size() / 10;
    std::printf("soak: memory %.1f MB at start, %.1f MB at end, %.1f MB at most; trend %+.4f MB/min "
                "(%+.4f MB/min after the first %.1f min)\n",
                a.rssMb, b.rssMb, maxRss, memoryTrend(samples, 0), memoryTrend(samples, settled),
                samples[settled].minutes);
    const double busy = (b.cpuSeconds - a.cpuSeconds) / std::max(1e-9, (b.minutes - a.minutes) * 60.0);
    std::printf("soak: CPU %.0f %% of one core on average, %.0f %% at most over 10 s\n", busy * 100.0, peak * 100.0);
  }
  const bool pictureOk = after == "12:34:56" && blank == 0;
  std::printf("soak: final picture (%s/final.png): clock reads %s (sent 12:34:56), %d of %d slots blank: %s\n",
              out.c_str(), after.empty() ? "nothing" : after.c_str(), blank, kSlotCount, pictureOk ? "ok" : "WRONG");
  if (!alive) std::printf("soak: the program's output is in %s\n", log.c_str());
  const bool passed = alive && pictureOk && !g_stop;
  std::printf("soak: %s\n", passed ? "PASSED" : "FAILED");
  return passed ? 0 : 1;
}
