// HYD page: green, blue and yellow pressures, low overlays and the PTU.
#include "ecam/sd/hyd_page.h"

#include <cstdint>

#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 22;
constexpr int kLowSlot = 27;  // green and yellow columns
constexpr int kBlueLowSlot = 29;
constexpr int kYellowElecSlot = 23, kYellowElecMaskSlot = 24;
constexpr int kRatSlot = 25, kRatMaskSlot = 26;
constexpr int kPtuMaskSlot = 9;
constexpr int kPtuBalancedSlot = 28, kPtuGreenToYellowSlot = 62, kPtuYellowToGreenSlot = 61;
constexpr float kLowZ = -0.12f;
constexpr float kSymbolZ = -0.15f;
constexpr std::int32_t kPressureColour = 5;
constexpr std::int32_t kLabelColour = 0;
constexpr std::int32_t kFullPressure = 3000;
constexpr std::int32_t kGroundElecPressure = 2500;
constexpr std::int32_t kFullDrive = 900;
constexpr std::int32_t kLowPressure = 100;
constexpr std::int32_t kPtuThreshold = 500;

// Double on purpose: 500 x 3.34 must give 1670, which a float factor misses.
std::int32_t pumpPressure(std::int32_t drive) {
  return drive >= kFullDrive ? kFullPressure : truncToInt32(double(drive) * 3.34);
}

void quad(const sdgeo::Quad& q, float z) { gldraw::texturedQuad(q.x0, q.y0, q.x1, q.y1, z, 0.0f, 0.0f, 1.0f, 1.0f); }

void masked(const GLuint* tex, int mask, int colour, const sdgeo::Quad& q) {
  gldraw::maskedQuad(tex[mask], tex[colour], q.x0, q.y0, q.x1, q.y1, kSymbolZ);
}

}  // namespace

namespace hyd {

Systems systems(float drive1, float drive2, bool onGround) {
  const std::int32_t g0 = truncToInt32(drive1) / 10000, y0 = truncToInt32(drive2) / 10000;
  Systems s;
  s.green = pumpPressure(g0);
  s.yellow = onGround && y0 < kFullDrive ? kGroundElecPressure : pumpPressure(y0);
  const std::int32_t sum = g0 + y0, half = sum / 2;  // both at most 214748: no overflow
  if (half >= 1200)
    s.blue = kFullPressure;
  else if (half >= 1000)
    s.blue = truncToInt32(double(sum) * 1.25);
  const std::int32_t d = s.green - s.yellow;
  if (d >= kPtuThreshold)
    s.ptu = Ptu::GreenToYellow;
  else if (d <= -kPtuThreshold)
    s.ptu = Ptu::YellowToGreen;
  return s;
}

bool low(std::int32_t psi) { return psi <= kLowPressure; }

}  // namespace hyd

void resetHydPage() {}

bool drawHydPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const hyd::Systems s = hyd::systems(block.f32(126), block.f32(176), (block.u32(221) & 2u) != 0);
  const GLuint* tex = d.textures.data();

  d.drawBackground(kBackgroundSlot);
  d.beginGroup();
  glEnable(GL_TEXTURE_2D);
  if (hyd::low(s.green)) {
    glBindTexture(GL_TEXTURE_2D, tex[kLowSlot]);
    quad(kHydGreenLow, kLowZ);
  }
  if (hyd::low(s.blue)) {
    glBindTexture(GL_TEXTURE_2D, tex[kBlueLowSlot]);
    quad(kHydBlueLow, kLowZ);
  }
  if (hyd::low(s.yellow)) {
    glBindTexture(GL_TEXTURE_2D, tex[kLowSlot]);
    quad(kHydYellowLow, kLowZ);
  }

  masked(tex, kYellowElecMaskSlot, kYellowElecSlot, kHydYellowElec);
  masked(tex, kRatMaskSlot, kRatSlot, kHydRat);
  float offset = kPtuOffsetBalanced;
  int ptuSlot = kPtuBalancedSlot;
  if (s.ptu == hyd::Ptu::GreenToYellow) {
    offset = kPtuOffsetGreenToYellow;
    ptuSlot = kPtuGreenToYellowSlot;
  } else if (s.ptu == hyd::Ptu::YellowToGreen) {
    offset = kPtuOffsetYellowToGreen;
    ptuSlot = kPtuYellowToGreenSlot;
  }
  masked(tex, kPtuMaskSlot, ptuSlot, {offset + kPtuLeft, kPtuBottom, offset + kPtuRight, kPtuTop});
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float z = kElementZ;
  const std::int32_t psi[3] = {s.green, s.blue, s.yellow};
  for (int i = 0; i < 3; ++i)
    DrawNumber(f, psi[i], 4, 1, 1, kPressureColour, kHydPressureSize, kHydPressureX[i], kHydPressureY, z);
  DrawText(f, "RAT", kLabelColour, kHydLabelSize, kHydRatLabel.x, kHydRatLabel.y, z);
  DrawText(f, "ELEC", kLabelColour, kHydLabelSize, kHydBlueElecLabel.x, kHydBlueElecLabel.y, z);
  DrawText(f, "ELEC", kLabelColour, kHydLabelSize, kHydYellowElecLabel.x, kHydYellowElecLabel.y, z);
  DrawText(f, "ELEC", kLabelColour, kHydLabelSize, kHydYellowElecLabel.x, kHydYellowElecLabel.y, z);
  DrawNumber(f, 1, 1, 0, 1, kLabelColour, 1.0f, kHydPump1.x, kHydPump1.y, z);
  DrawNumber(f, 2, 1, 0, 1, kLabelColour, 1.0f, kHydPump2.x, kHydPump2.y, z);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
