// Random flight data, NaN and infinity included, drawn by every instrument
// this build has. Run under the sanitizers, this is where undefined
// behaviour on hostile input shows up.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "instruments/factory.h"
#include "support/offscreen.h"

using namespace testing_support;

namespace {

std::uint32_t nastyWord(std::mt19937& rng) {
  static const float specials[] = {NAN, -NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 3.4e38f, -3.4e38f,
                                   2147483648.0f, -2147483904.0f, 1e-45f, 99.999f, 100.0f, 1e10f};
  switch (rng() % 4) {
    case 0: return rng();
    case 1: return std::bit_cast<std::uint32_t>(specials[rng() % std::size(specials)]);
    case 2: return std::bit_cast<std::uint32_t>(float(int(rng() % 200001) - 100000) / float(1 + rng() % 100));
    default: return rng() % 64;
  }
}

TEST(RandomBlocks, EveryInstrumentDrawsAnything) {
  RecordingSink sink;
  OffscreenWindow ow(96, 96);
  InstrumentWindow& w = *ow.window;
  int made = 0;
  for (int type = 0; type < kInstrumentTypeCount; ++type) {
    w.setPlacement({0, 0, 96, 96, 1, type}, 1u << type);
    if (w.instrumentFactory(type, type)) ++made;
  }
  ASSERT_GE(made, 1);
  std::mt19937 rng(20261206);
  const float rotations[] = {0.0f, 90.0f, -90.0f};
  for (int i = 0; i < 3000; ++i) {
    FlightDataBlock b;
    for (int word = 0; word < kFlightDataWords; ++word) b.setU32(word, nastyWord(rng));
    w.setRotationAngle(rotations[i % 3]);
    w.setData(b.bytes.data());
    ASSERT_TRUE(w.renderPass());
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "block " << i;
  }
  EXPECT_TRUE(sink.messages.empty());
}

}  // namespace
