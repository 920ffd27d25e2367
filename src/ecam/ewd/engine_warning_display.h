#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <string>

#include "ecam/draw/primitives.h"
#include "instruments/instrument.h"

// The upper ECAM screen: engine gauges, flaps, fuel, thrust mode,
// warnings, memos and checklists.
class EngineWarningDisplay final : public Instrument {
 public:
  explicit EngineWarningDisplay(InstrumentContext& ctx);
  ~EngineWarningDisplay() override;
  EngineWarningDisplay(const EngineWarningDisplay&) = delete;
  EngineWarningDisplay& operator=(const EngineWarningDisplay&) = delete;

  bool initialise();
  bool draw(const FlightDataBlock& block, const Placement& placement);

  struct MessageLine {
    std::string text;
    std::int32_t colour = 0;
  };
  static constexpr int kMessageLines = 9;

  // State kept between frames; public so that the warning and checklist
  // code (its own files) and the tests can reach it.
  std::array<GLuint, 21> textures{};
  std::int32_t checklistRequest = 0;  // 0 or a code 16 to 33
  std::int32_t keyLatch = 0;
  std::int32_t flapMotion = 0;  // -1, 0 or +1
  float previousFlap = 0.0f;
  std::array<MessageLine, kMessageLines> messages{};
  InstrumentContext& ctx;

  FontSet font() const { return FontSet{textures.data(), &ctx}; }
};

namespace ewd {
// The warning frame with its warnings, memos or checklists, then the brake
// memos; drawn at the end of every frame with the frame's matrix in place.
void drawWarningFrame(EngineWarningDisplay& d, const FlightDataBlock& block);
void drawBrakeMemos(EngineWarningDisplay& d, const FlightDataBlock& block);

// Engine gauges: the conversions of the raw words and what the readouts
// and the thrust-mode line make of them.
inline constexpr float kPercentPerRaw = 0.006103515625f;
inline constexpr float kKgPerLb = 0.453597f;
float rawToPercent(float raw);
float rankineToCelsius(float rankine);
// The EGT the readout shows and the needle points at: 0 to 1000 deg C.
float clampEgt(float celsius);
// What an N1 or N2 readout shows of a raw percent word: the whole percent
// with its sign as "%3d." makes it, then the tenth, both truncated. A word
// sent for an exact tenth shows that tenth even where the float landed just
// below it. Colour 2 up to and including 100 %, 6 above. A value whose
// whole part and sign need more than three cells shows nothing (whole is
// empty), as does NaN.
struct PercentReadout {
  std::string whole;  // e.g. " 85." or " -5."
  std::int32_t tenth = 0;
  std::int32_t colour = 2;
};
PercentReadout percentReadout(float raw);
// printf's "%<width>d" of a rounded value, or "" when it would take more
// than `cells` cells (or is NaN).
std::string roundedCells(float value, int width, int cells);

struct ThrustMode {
  const char* text;
  std::int32_t limit;  // 0: no number shown
};
// From engine 1's thrust-lever position in percent.
ThrustMode thrustMode(float leverPercent);

// The flap and slat indicator.
inline constexpr int kFlapDetents = 6;
using FlapSettings = std::array<float, kFlapDetents>;
struct FlapFrame {
  float value = 0.0f;     // word 37
  int detent = 0;         // last detent whose setting the value has reached
  bool atDetent = false;  // value equals a setting exactly
  FlapSettings settings{};
};
FlapFrame flapFrame(float value, const FlapSettings& settings);
FlapSettings flapSettings(const InstrumentContext& ctx);
// Motion -1/0/+1 and the previous value, once per drawn frame.
void updateFlapMotion(EngineWarningDisplay& d, const FlapFrame& frame);
// "0", "1", "1+F", "2", "3", "FULL"; detents outside 0 to 5 are clamped.
const char* detentName(int detent);

struct Point {
  float x, y;
};
struct FlapSymbols {
  std::array<Point, 3> flap, slat;
  Point flapAnchor, slatAnchor;
};
FlapSymbols flapSymbols(const FlapFrame& frame);

void drawFlapIndicator(const EngineWarningDisplay& d, const FlapFrame& frame);
void drawFlapText(const EngineWarningDisplay& d, const FlapFrame& frame);
// fuelOnBoard already in the unit that kg names.
void drawFuelOnBoard(const EngineWarningDisplay& d, float fuelOnBoard, bool kg);
void drawThrustMode(const EngineWarningDisplay& d, const ThrustMode& mode);
}  // namespace ewd
