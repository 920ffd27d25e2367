#pragma once
#include <GL/gl.h>

#include <cstdint>

#include "instruments/instrument.h"

// Six digits of the simulator's time of day over the clock face.
class Clock final : public Instrument {
 public:
  explicit Clock(InstrumentContext& ctx);
  ~Clock() override;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  struct DigitPair {
    std::int64_t tens, units;  // wide enough for the unsigned quotient too
  };
  static DigitPair digitPair(float value);
  // Lower and upper t of the strip cell for digit d (d may lie outside 0..9).
  static void digitCell(std::int64_t d, double& tLower, double& tUpper);

 private:
  InstrumentContext& ctx_;
  GLuint face_ = 0;
  GLuint digits_ = 0;
};
