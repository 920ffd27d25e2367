// Draws one instrument, or the whole default layout, offscreen into a PNG.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli.h"
#include "host/instrument_window.h"
#include "platform/egl_offscreen.h"
#include "platform/png_file.h"

namespace {

const char* const kUsage =
    "usage: a320-snapshot --out FILE.png [--instrument A320_CLOCK|...|all] [--size WxH]\n"
    "                     [--block FILE]... [--set N=VALUE]... [--frames N] [--rotate -90|0|90] [--data DIR]\n"
    "  --set 2=12.5 sets word 2 to the float 12.5; --set 17=#1 or 17=#0x1 to an unsigned integer\n"
    "  several --block files are drawn in turn, one frame each, the last for --frames\n";

int usage(const std::string& problem) {
  std::fprintf(stderr, "a320-snapshot: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, instrument = "all", dataDir = "Data";
  int width = 0, height = 0;
  long long frames = 1;
  float rotation = 0.0f;
  std::vector<std::string> sets;
  std::vector<std::string> blockFiles;

  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (i + 1 >= argc) return usage("option " + a + " needs a value");
    const std::string v = argv[++i];
    if (a == "--out") {
      out = v;
    } else if (a == "--instrument") {
      instrument = v;
    } else if (a == "--size") {
      if (!cli::parseSize(v, width, height)) return usage("--size wants WxH with sides 1 to 8192, got '" + v + "'");
    } else if (a == "--block") {
      blockFiles.push_back(v);
    } else if (a == "--set") {
      sets.push_back(v);
    } else if (a == "--frames") {
      const auto n = cli::parseInteger(v, 1, 100000);
      if (!n) return usage("--frames wants 1 to 100000, got '" + v + "'");
      frames = *n;
    } else if (a == "--rotate") {
      if (v != "-90" && v != "0" && v != "90") return usage("--rotate wants -90, 0 or 90, got '" + v + "'");
      rotation = std::stof(v);
    } else if (a == "--data") {
      dataDir = v;
    } else {
      return usage("unknown option " + a);
    }
  }
  if (out.empty()) return usage("--out FILE.png is required");

  int type = -1;
  if (instrument != "all") {
    for (int t = 0; t < kInstrumentTypeCount; ++t)
      if (instrument == instrumentIdentifier(t)) type = t;
    if (type < 0) return usage("unknown instrument '" + instrument + "'");
  }
  if (width == 0) {
    width = type < 0 ? 1280 : 512;
    height = type < 0 ? 1024 : 512;
  }
  std::string error;
  // Several blocks are drawn in turn, one frame each, the last for --frames:
  // what the instruments saw before (the fuel at the start of a flight).
  std::vector<FlightDataBlock> blocks(std::max<std::size_t>(blockFiles.size(), 1));
  for (std::size_t i = 0; i < blockFiles.size(); ++i)
    if (!cli::readBlockFile(blockFiles[i], blocks[i], error)) return usage(error);
  for (FlightDataBlock& block : blocks)
    for (const std::string& s : sets)
      if (!cli::applySet(s, block, error)) return usage(error);

  std::unique_ptr<platform::EglOffscreenSurface> offscreen = platform::EglOffscreenSurface::create(width, height, &error);
  if (!offscreen) {
    std::fprintf(stderr, "a320-snapshot: cannot draw offscreen: %s\n", error.c_str());
    return 1;
  }
  platform::EglOffscreenSurface* surface = offscreen.get();
  InstrumentWindow window(float(height) / 1024.0f, [&](int, int, int, int) {
    return std::unique_ptr<platform::GlSurface>(std::move(offscreen));
  });
  window.setDataDir(dataDir);
  if (!window.create(0, 0, width, height)) {
    std::fprintf(stderr, "a320-snapshot: cannot make the OpenGL context current\n");
    return 1;
  }
  window.setRotationAngle(rotation);
  if (type < 0) {
    // As the program does: default records scaled, then every slot built.
    // A reset alone would skip slot 0, whose empty record already says 0.
    window.resetToDefaults(0x7f);
    for (int slot = 0; slot < kSlotCount; ++slot) window.instrumentFactory(slot, window.getPlacement(1u << slot).type);
  } else {
    window.setPlacement({0, 0, width, height, 1, type}, 1);
    window.instrumentFactory(0, type);
  }
  for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
    window.setData(blocks[i].bytes.data());
    window.renderPass();
  }
  window.setData(blocks.back().bytes.data());
  for (long long f = 0; f < frames; ++f) window.renderPass();
  // The frame is cleared to alpha 0 and a screen ignores alpha; a picture
  // should look like the screen, so make it opaque.
  std::vector<std::uint8_t> pixels = surface->readPixelsTopDown();
  for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
  if (!platform::writePngRgba(out, width, height, pixels, &error)) {
    std::fprintf(stderr, "a320-snapshot: %s\n", error.c_str());
    return 1;
  }
  std::printf("a320-snapshot: wrote %s (%dx%d, %s)\n", out.c_str(), width, height, instrument.c_str());
  return 0;
}
