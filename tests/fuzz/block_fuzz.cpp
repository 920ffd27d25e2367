// Flight data blocks as every instrument draws them, offscreen through
// Mesa. The input is up to four blocks drawn one after another (the pages'
// models carry state from frame to frame); its length picks the rotation
// and the weight unit.
#include <GL/gl.h>

#include <cstring>

#include "fuzz_support.h"
#include "instruments/instrument.h"

namespace {

constexpr int kSide = 64;

InstrumentWindow& window() {
  static std::unique_ptr<InstrumentWindow> w = [] {
    auto made = fuzzing::offscreenWindow(kSide, kSide);
    for (int type = 0; type < kInstrumentTypeCount; ++type) {
      made->setPlacement({0, 0, kSide, kSide, 1, type}, 1u << type);
      FUZZ_CHECK(made->instrumentFactory(type, type), "no instrument of type %d in this build", type);
    }
    return made;
  }();
  return *w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InstrumentWindow& w = window();
  static const float rotations[] = {0.0f, 90.0f, -90.0f};
  w.setRotationAngle(rotations[size % 3]);
  w.setWeightUnitKg(std::int32_t(size / 3 % 2));
  for (std::size_t at = 0, frame = 0; frame < 4 && (at < size || frame == 0); at += kFlightDataBytes, ++frame) {
    FlightDataBlock block;
    if (at < size) std::memcpy(block.bytes.data(), data + at, std::min(kFlightDataBytes, size - at));
    w.setData(block.bytes.data());
    FUZZ_CHECK(w.renderPass(), "the render pass failed on frame %zu", frame);
    const GLenum e = glGetError();
    FUZZ_CHECK(e == GL_NO_ERROR, "GL error 0x%x after frame %zu", unsigned(e), frame);
  }
  return 0;
}
