#pragma once
#include <GL/gl.h>

#include <cstdint>

#include "instruments/flight_data.h"
#include "instruments/texture_coverage.h"

enum InstrumentType : std::int32_t {
  A320_ECAM_ENGINE = 0,
  A320_ECAM_SYSTEM = 1,
  A320_CLOCK = 2,
  A320_RMI = 3,
  A320_ATTITUDE = 4,
  A320_ALTITUDE = 5,
  A320_AIRSPEED = 6,
};
inline constexpr int kInstrumentTypeCount = 7;
inline constexpr int kSlotCount = 7;

// Identifier used in operator messages; null for a type outside 0 to 6.
const char* instrumentIdentifier(std::int32_t type);

// x, y (lower-left corner, y up from the window's bottom), width, height,
// visible, type.
struct Placement {
  std::int32_t x = 0, y = 0, width = 0, height = 0, visible = 0, type = 0;
  bool operator==(const Placement&) const = default;
};

// What an instrument may ask of the window it is drawn in.
class InstrumentContext {
 public:
  virtual bool loadTexture(const char* fileName, GLuint& textureName) = 0;
  virtual float rotationAngle() const = 0;
  virtual std::int32_t weightUnitKg() const = 0;
  virtual float flapsSetting(int index) const = 0;
  // What a loaded texture holds where; null when nothing is known of it.
  virtual const TextureCoverage* textureCoverage(GLuint) const { return nullptr; }

 protected:
  ~InstrumentContext() = default;
};

class Instrument {
 public:
  virtual ~Instrument() = default;
  std::int32_t type() const { return type_; }

 protected:
  explicit Instrument(std::int32_t type) : type_(type) {}

 private:
  std::int32_t type_;
};
