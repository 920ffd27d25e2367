#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>

#include "instruments/instrument.h"

// The standby altimeter: a needle turning once per 1000 ft, the five-drum
// altitude counter and the two pressure-setting counters.
class Altimeter final : public Instrument {
 public:
  explicit Altimeter(InstrumentContext& ctx);
  ~Altimeter() override;
  Altimeter(const Altimeter&) = delete;
  Altimeter& operator=(const Altimeter&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  // Word 92: either bit keeps the altitude of the previous frame.
  static constexpr std::uint32_t kHoldBits = 0x4 | 0x2000;

  // Drum offsets X (t range = base range - X) of the altitude counter.
  // Below 0 ft the drums count the feet below and the ten-thousands window
  // shows the NEG flag (tenThousands is then unused).
  struct AltitudeDrums {
    float tensOfFeet, hundreds, thousands, tenThousands;
    bool belowZero;
  };
  static AltitudeDrums altitudeOffsets(float feet);

  // The pressure settings as shown: rounded to 0.01 and 0.1, then split
  // into drum offsets, lowest digit first (hundredths, tenths, units, tens
  // and tenths, units, tens, hundreds, thousands).
  struct PressureDrums {
    std::array<float, 4> inches;
    std::array<float, 5> hectopascals;
  };
  static PressureDrums pressureOffsets(float inches, float hectopascals);

  struct Readout {
    float altitude;  // after the hold: what the next frame holds
    float needleAngle;
    AltitudeDrums altitudeDrums;
    PressureDrums pressureDrums;
  };
  static Readout readout(const FlightDataBlock& block, float heldAltitude);

  float heldAltitude() const { return held_; }

 private:
  InstrumentContext& ctx_;
  // Face, needle picture and mask, drum strip.
  std::array<GLuint, 4> textures_{};
  float held_ = 0.0f;
};
