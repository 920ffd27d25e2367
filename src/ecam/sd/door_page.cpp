// DOOR page: cabin and cargo doors, their labels and the oxygen value.
#include "ecam/sd/door_page.h"

#include <algorithm>

#include "ecam/sd/cruise_page.h"
#include "ecam/sd/press_page.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 40;
constexpr int kCabinOpenSlot = 41, kCargoOpenSlot = 44;
constexpr int kCabinClosedSlot = 63, kCargoClosedSlot = 64;
constexpr float kDoorZ = -0.11f;
constexpr std::int32_t kNormal = 2;
constexpr std::int32_t kUnit = 1;
constexpr std::int32_t kOpen = 6;
constexpr float kGroundSpeedKt = 100.0f;

void doorSymbol(sdgeo::Quad q) { gldraw::texturedQuad(q.x0, q.y0, q.x1, q.y1, kDoorZ, 0.0f, 0.0f, 1.0f, 1.0f); }

}  // namespace

namespace door {

bool doorsClosed(std::uint32_t word221) { return (word221 & 0x2000u) != 0; }

double oxygen(double heightM) { return press::pressureHpa(0.2 * heightM) * 0.0146 * 0.21; }

}  // namespace door

void resetDoorPage() {}

bool drawDoorPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  CabinState& state = cabinState();
  if (block.f32(25) < kGroundSpeedKt) state.groundElevationFt = truncToInt32(block.f32(29));
  const double oxy = door::oxygen(cruise::heightAboveGroundM(block.f32(29), state.groundElevationFt));
  const bool closed = door::doorsClosed(block.u32(221));

  d.drawBackground(kBackgroundSlot);
  d.beginGroup();
  glDisable(GL_BLEND);  // door pictures are opaque
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, d.textures[closed ? kCabinClosedSlot : kCabinOpenSlot]);
  for (const Quad& q : kCabinDoors) doorSymbol(q);
  glBindTexture(GL_TEXTURE_2D, d.textures[closed ? kCargoClosedSlot : kCargoOpenSlot]);
  for (const Quad& q : kCargoDoors) doorSymbol(q);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const std::int32_t colour = closed ? kNormal : kOpen;
  for (const DoorText& t : kDoorTexts) {
    DrawText(f, t.cabin ? "......" : ".....", colour, kDoorLeaderSize, t.leader.x, t.leader.y, kElementZ);
    DrawText(f, t.cabin ? "CABIN" : "CARGO", colour, t.cabin ? kCabinLabelSize : kCargoLabelSize, t.label.x,
             t.label.y, kElementZ);
  }
  DrawText(f, "OXY", kNormal, kOxySize, kOxyLabel.x, kOxyLabel.y, kElementZ);
  // Only the units cell of the four lies clear of the label: a tens digit
  // or a sign would land on its "Y". Every real reading (about 3.1 on the
  // ground) fits; what does not, or is no number, is left out.
  if (oxy >= 0.0 && oxy < 10.0)
    DrawDecimal(f, float(oxy), 4, 3, 0, 1, kNormal, kOxySize, kOxyValue.x, kOxyValue.y, kElementZ);
  DrawText(f, "PSI", kUnit, kOxySize, kOxyUnit.x, kOxyUnit.y, kElementZ);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
