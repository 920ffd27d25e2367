#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>

#include "instruments/instrument.h"

// The standby airspeed indicator: needle, second pointer, and the rolling
// counters of the airspeed (lower) and of a fraction below 1 (upper).
class AirspeedIndicator final : public Instrument {
 public:
  explicit AirspeedIndicator(InstrumentContext& ctx);
  ~AirspeedIndicator() override;
  AirspeedIndicator(const AirspeedIndicator&) = delete;
  AirspeedIndicator& operator=(const AirspeedIndicator&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  // Word 92: the hold bit keeps the last airspeed, the zero bit forces 0.
  static constexpr std::uint32_t kHoldBit = 0x2;
  static constexpr std::uint32_t kZeroBit = 0x2000;

  // Drum offsets X of the five windows (t range = base range - X), in the
  // order they are drawn.
  struct Drums {
    float upperSecond, upperFirst, units, tens, hundreds;
  };
  static Drums drumOffsets(float airspeed, float upper);

  // Everything one frame shows, from the block and the held airspeed.
  struct Readout {
    float airspeed;  // after hold and zero: what the next frame holds
    float needleAngle, pointerAngle;
    Drums drums;
  };
  static Readout readout(const FlightDataBlock& block, float heldAirspeed);

  float heldAirspeed() const { return held_; }

 private:
  InstrumentContext& ctx_;
  // Face, needle picture and mask, second pointer picture and mask, drum strip.
  std::array<GLuint, 6> textures_{};
  float held_ = 0.0f;
};
