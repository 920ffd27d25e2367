// Writes the seed inputs of every fuzz target, each made by our own code:
// bitmaps from our encoder, settings files from our writer, the shipped
// scenarios and a recording, FlightGear lines recorded from a real
// FlightGear, X-Plane datagrams as the fake X-Plane of the tests builds
// them, and blocks composed by the bridge.
//   a320-fuzz-seeds SOURCE_DIR OUT_DIR
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compose.h"
#include "flightgear.h"
#include "host/instrument_window.h"
#include "host/settings_file.h"
#include "platform/bmp.h"
#include "platform/message_box.h"
#include "scenario.h"
#include "tools/fake_xplane.h"
#include "xplane.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string g_out;
int g_written = 0;

void seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(g_out + "/" + target);
  std::ofstream(g_out + "/" + target + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  ++g_written;
}
void seed(const std::string& target, const std::string& name, const std::string& text) {
  seed(target, name, Bytes(text.begin(), text.end()));
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void textures() {
  const int sizes[][2] = {{1, 1}, {3, 2}, {4, 4}, {7, 5}, {16, 3}};
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    Bytes rows(std::size_t(platform::bmpStride(w)) * std::size_t(h));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::uint8_t(i * 37);
    seed("texture", std::to_string(w) + "x" + std::to_string(h) + ".tex", platform::encodeBmp24(w, h, rows));
  }
  // The same header with 8 bits per pixel: the depth we refuse.
  Bytes eight = platform::encodeBmp24(4, 4, Bytes(48, 0x80));
  eight[28] = 8;
  seed("texture", "8bit.tex", eight);
}

struct NoHost : SettingsHost {
  void moveInstrumentWindow(int, int, int, int) override {}
  void disableShiftButtons() override {}
};

void profiles() {
  const std::string folder = fs::temp_directory_path() / ("a320-seeds-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path home = fs::current_path();
  fs::current_path(folder);
  InstrumentWindow window(1.0f, [](int, int, int, int) { return nullptr; });
  for (int slot = 0; slot < kSlotCount; ++slot)
    window.setPlacement(InstrumentWindow::defaultPlacement(slot), 1u << slot);
  SettingsState state;
  window.setRotationAngle(90.0f);
  writeSettings("plain.cfg", state, window);
  state = SettingsState{};
  state.manualMode = true;
  state.xOffset = 1280;
  state.xRes = 1024;
  state.yRes = 768;
  state.multicastInterface = "eth0";
  window.setWeightUnitKg(0);
  writeSettings("manual.cfg", state, window);
  using namespace std::string_literals;
  // Edits after the file's text, a name with blanks around it among them.
  const std::string edits = "\0SYSTEM\0PORT\0 5000 \0gauge\0INSTR 03\0" "10,20,300,300,1,2\0SYSTEM\0 PORT\0" "1"s;
  for (const char* name : {"plain.cfg", "manual.cfg"}) {
    const std::string text = slurp(name);
    seed("profile", name, text);
    seed("profile", std::string(name) + ".edits", text + edits);
  }
  fs::current_path(home);
  fs::remove_all(folder);
}

void scenarios(const std::string& source) {
  for (const auto& e : fs::directory_iterator(source + "/scenarios"))
    if (e.path().extension() == ".scenario") seed("scenario", e.path().filename(), slurp(e.path()));
  seed("scenario", "small.scenario",
       "0 25=0 29=1500 221=#0x2002 17.1=1\n30 25=140 # ramp\n1:10 25:=0 40=#0x07000000\n+5\n");
  // A recording, with its exact bits and its many small steps.
  std::ostringstream recording;
  scenario::Recorder recorder(recording);
  FlightDataBlock b;
  for (int i = 0; i < 4; ++i) {
    b.setF32(25, 100.0f + float(i) / 3.0f);
    b.setU32(221, 0x2000u | unsigned(i));
    recorder.add(0.05 * i, b);
  }
  recorder.finish(0.5);
  seed("scenario", "recording.scenario", recording.str());
}

// The packets of the FlightGear captures: a time, a tab, the packet.
std::vector<std::string> capturedPackets(const std::string& source) {
  std::vector<std::string> packets;
  for (const auto& e : fs::directory_iterator(source + "/tests/tools/captures")) {
    std::istringstream lines(slurp(e.path()));
    for (std::string line; std::getline(lines, line);) {
      const auto tab = line.find('\t');
      if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
      packets.push_back(line.substr(tab + 1) + "\n");
    }
  }
  return packets;
}

void flightgearAndBlocks(const std::string& source) {
  const std::vector<std::string> packets = capturedPackets(source);
  for (std::size_t i = 0; i < packets.size(); ++i) {
    seed("flightgear", "captured-" + std::to_string(i), packets[i]);
    flightgear::Packet p;
    std::string error;
    if (!flightgear::parsePacket(packets[i], p, error)) continue;
    bridge::AircraftState state;
    flightgear::toState(p, state);
    FlightDataBlock block;
    bridge::composeBlock(state, bridge::Options{}, block);
    seed("block", "flightgear-" + std::to_string(i), Bytes(block.bytes.begin(), block.bytes.end()));
  }
  seed("block", "zero", Bytes(kFlightDataBytes, 0));
  scenario::Scenario demo;
  std::string error;
  if (scenario::load(source + "/scenarios/demo.scenario", demo, error))
    for (double t : {10.0, 120.0, 600.0}) {
      FlightDataBlock block;
      demo.sample(t, block);
      seed("block", "demo-" + std::to_string(int(t)), Bytes(block.bytes.begin(), block.bytes.end()));
    }
}

void xplaneDatagrams() {
  using testing_support::becn;
  using testing_support::rrefAnswer;
  std::vector<std::pair<std::int32_t, float>> all;
  for (int i = 0; i < xplane::kRefCount; ++i) all.emplace_back(i, 10.0f * float(i) + 0.5f);
  auto with = [](std::uint8_t mode, const Bytes& b) {
    Bytes out = {mode};
    out.insert(out.end(), b.begin(), b.end());
    return out;
  };
  seed("xplane", "answer", with(0, rrefAnswer(all)));
  seed("xplane", "beacon", with(1, becn(49000)));
  seed("xplane", "host-port", with(2, Bytes{'s', 'i', 'm', '-', 'p', 'c', ':', '4', '9', '0', '0', '0'}));
  // A conversation: answers in pieces, with time passing between them.
  Bytes talk = {3};
  for (std::size_t from = 0; from < all.size(); from += 20) {
    const std::vector<std::pair<std::int32_t, float>> part(all.begin() + long(from),
                                                           all.begin() + long(std::min(all.size(), from + 20)));
    const Bytes answer = rrefAnswer(part);
    talk.push_back(std::uint8_t(answer.size()));
    talk.push_back(2);
    talk.insert(talk.end(), answer.begin(), answer.end());
  }
  seed("xplane", "conversation", talk);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: a320-fuzz-seeds SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  g_out = argv[2];
  platform::setMessageSink([](platform::MessageIcon, const std::string& text) {
    std::fprintf(stderr, "a320-fuzz-seeds: %s\n", text.c_str());
  });
  textures();
  profiles();
  scenarios(argv[1]);
  flightgearAndBlocks(argv[1]);
  xplaneDatagrams();
  std::printf("a320-fuzz-seeds: %d seeds in %s\n", g_written, g_out.c_str());
  return 0;
}
