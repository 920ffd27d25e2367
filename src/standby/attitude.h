#pragma once
#include <GL/gl.h>

#include "instruments/instrument.h"

// Standby horizon: sky, ground and pitch ladder turning with the bank, the
// command bar, the fixed aircraft symbol, the bank ring and the bezel, all
// from one picture atlas and one mask atlas.
class AttitudeIndicator final : public Instrument {
 public:
  explicit AttitudeIndicator(InstrumentContext& ctx);
  ~AttitudeIndicator() override;
  AttitudeIndicator(const AttitudeIndicator&) = delete;
  AttitudeIndicator& operator=(const AttitudeIndicator&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  // Everything a frame needs from the block, in the units GL is given.
  struct Pose {
    float bankTurn;     // horizon, ladder and ring, degrees (counter-clockwise)
    float ladderShift;  // pitch ladder, up
    float commandTurn;  // command bar, degrees
    float commandShift; // command bar, up
    bool commandShown;
    float symbolShift;  // fixed symbol, up
  };
  static Pose pose(const FlightDataBlock& block);
  // Pitch held within +-25 degrees; NaN reads as level.
  static float limitPitch(float degrees);

 private:
  InstrumentContext& ctx_;
  GLuint pictures_ = 0;
  GLuint masks_ = 0;
};
