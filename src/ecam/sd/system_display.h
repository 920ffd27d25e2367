#pragma once
#include <GL/gl.h>

#include <array>
#include <cstdint>

#include "ecam/draw/primitives.h"
#include "instruments/instrument.h"

// What a draw of the system display showed; None when nothing was drawn.
enum class SdPage : int { None, Eng, Bleed, Press, Elec, Hyd, Fuel, Apu, Cond, Door, Wheel, Fctl, Status, Cruise };
const char* sdPageName(SdPage page);

// The lower ECAM screen: one system page per frame, chosen by word 40 or
// automatically by flight phase, with the permanent data area below.
class SystemDisplay final : public Instrument {
 public:
  explicit SystemDisplay(InstrumentContext& ctx);
  ~SystemDisplay() override;
  SystemDisplay(const SystemDisplay&) = delete;
  SystemDisplay& operator=(const SystemDisplay&) = delete;

  bool initialise(const FlightDataBlock& block);
  bool draw(const FlightDataBlock& block, const Placement& placement);

  std::array<GLuint, kEcamTextureSlots> textures{};
  std::uint32_t page = 0;          // bits 24 to 27 of word 40, as last drawn
  SdPage lastPage = SdPage::None;  // for tests and tools; not part of any rule
  InstrumentContext& ctx;

  FontSet font() const { return FontSet{textures.data(), &ctx}; }
  // The page's background over the whole square, behind everything else.
  void drawBackground(int slot) const;
  // Identity model-view turned by the window's rotation: the start of every
  // group of elements.
  void beginGroup() const;
  // TAT, SAT, time and gross weight: the last thing every page draws.
  void drawPermanentData(const FlightDataBlock& block) const;
};

namespace sd {

inline constexpr float kElementZ = -0.2f;
inline constexpr float kBackgroundZ = -0.1f;
inline constexpr float kKgPerLb = 0.453597f;
inline constexpr float kPercentPerRaw = 0.006103515625f;
inline constexpr std::int32_t kZeroFuelWeightKg = 60000;
inline constexpr std::int32_t kDefaultInitialFuelKg = 19150;

// Automatic page values.
inline constexpr std::int32_t kAutoDoor = 7, kAutoWheel = 8, kAutoEng = 9, kAutoCruise = 10, kAutoFctl = 11;

struct MovementDetector {
  std::int32_t frameCounter = 0;
  float stickReference = 0.0f;
  float speedBrakeReference = 0.0f;
  bool moving = false;
  std::int32_t holdCounter = 0;
};

// Shared by every system display of the run: two visible system displays
// advance it twice per frame.
struct FrameState {
  std::int32_t automaticPage = 0;
  MovementDetector detector;
  std::int32_t initialFuelKg = kDefaultInitialFuelKg;
  // False from a creation on an empty block until fuel arrives: the display
  // is created before the first datagram, and a fuel used measured from 0
  // would be false.
  bool initialFuelKnown = true;
};
FrameState& frameState();

// Takes the initial fuel from this block when its fuel on board (word 105)
// is a number other than 0 and none is known yet, or when more fuel is on
// board than the initial fuel (refuelled): fuel used counts from the most
// fuel the display has seen, never from a tank still being filled.
void takeInitialFuel(FrameState& state, const FlightDataBlock& block);

// Puts the frame's and every page model's shared state back to the start
// of a run (tests and tools that simulate a fresh program).
void resetModuleState();

// The flight-phase rules: the automatic page after this block, starting
// from the value it had.
std::int32_t automaticPageRules(const FlightDataBlock& block, std::int32_t previous);
// One draw's step of the movement detector; true while the flag is set.
bool stepMovementDetector(MovementDetector& detector, const FlightDataBlock& block);
// What a page number (0 to 15) and automatic page value show.
SdPage pageFor(std::uint32_t pageNumber, std::int32_t automaticPage);

}  // namespace sd
