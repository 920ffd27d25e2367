#pragma once
#include <GL/gl.h>

#include "instruments/instrument.h"

// Radio magnetic indicator: the compass card turned by the heading, two
// bearing needles with their parked positions, and the bezel.
class Rmi final : public Instrument {
 public:
  explicit Rmi(InstrumentContext& ctx);
  ~Rmi() override;
  Rmi(const Rmi&) = delete;
  Rmi& operator=(const Rmi&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  // GL turns in degrees, counter-clockwise; a parked needle turns by 0 and
  // lies along x.
  struct Turns {
    float card, needle1, needle2;
  };
  static Turns turns(const FlightDataBlock& block);

  static constexpr int kTextureCount = 7;

 private:
  InstrumentContext& ctx_;
  GLuint textures_[kTextureCount] = {};
};
