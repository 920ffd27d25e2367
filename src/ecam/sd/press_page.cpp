// PRESS page: differential pressure, cabin vertical speed and cabin
// altitude dials, the outflow valve and the fixed valves.
#include "ecam/sd/press_page.h"

#include <algorithm>
#include <cmath>

#include "ecam/sd/cruise_page.h"
#include "ecam/sd/masked_quad.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 7;
constexpr int kMaskSlot = 6;
constexpr int kColourSlot = 8;
constexpr float kNeedleZ = -0.15f;
constexpr std::int32_t kNormal = 2;
constexpr std::int32_t kWarning = 6;
constexpr float kVsPerWord = 0.1537875f;
constexpr float kVsLimit = 999.0f;
constexpr float kVsNormal = 599.0f;

float angleOr(double a, float zero) { return std::isfinite(a) ? float(a) : zero; }

void needle(const SystemDisplay& d, sdgeo::Point pivot, float angle, const Corners& c) {
  d.beginGroup();
  glTranslatef(pivot.x, pivot.y, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  maskedQuad(d.textures.data(), kMaskSlot, kColourSlot, c, kNeedleZ);
}

}  // namespace

namespace press {

double pressureHpa(double h) { return std::pow(1.0 - h * 0.0065 * 0.00347041471455839, 5.255) * 1013.25; }

Cabin cabin(float altitudeFt, std::int32_t groundElevationFt) {
  Cabin c{};
  c.heightM = cruise::heightAboveGroundM(altitudeFt, groundElevationFt);
  c.altitudeFt = c.heightM * 0.656160009777546;
  c.dpPsi = (pressureHpa(0.2 * c.heightM) - pressureHpa(c.heightM)) * 0.0146;
  return c;
}

float verticalSpeed(float word30) {
  const float vs = word30 * kVsPerWord;
  if (std::isnan(vs)) return 0.0f;
  return std::clamp(vs, -kVsLimit, kVsLimit);
}

std::int32_t verticalSpeedColour(float vs) { return vs > -kVsNormal && vs < kVsNormal ? kNormal : kWarning; }

float dpAngle(double dp) { return angleOr(45.0 - dp * 18.0, 45.0f); }

float verticalSpeedAngle(float vs) { return angleOr(-std::clamp(double(vs) * 0.15, -90.0, 90.0), 0.0f); }

float cabinAltitudeAngle(double ft) { return angleOr(45.0 - ft * 0.018, 45.0f); }

float outflowAngle(double ft) { return angleOr(std::min(ft * 0.2, 80.0) - 80.0, -80.0f); }

}  // namespace press

void resetPressPage() {}

bool drawPressPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  CabinState& state = cabinState();
  if ((block.u32(221) & 2u) != 0) state.groundElevationFt = truncToInt32(block.f32(29));
  const float vs = press::verticalSpeed(block.f32(30));
  const press::Cabin c = press::cabin(block.f32(29), state.groundElevationFt);

  d.drawBackground(kBackgroundSlot);
  glEnable(GL_TEXTURE_2D);
  const float h = kNeedleHalfWidth, n = kPressNeedleHalfWidth;
  needle(d, kPressInlet, 0.0f, {{{-kPressValveLength, -h}, {0.0f, -h}, {0.0f, h}, {-kPressValveLength, h}}});
  needle(d, kPressExtract, 0.0f, {{{0.0f, -h}, {kPressValveLength, -h}, {kPressValveLength, h}, {0.0f, h}}});
  // The outflow needle's upper edge is a little shorter: a slanted tip.
  needle(d, kPressOutflow, press::outflowAngle(c.altitudeFt),
         {{{-kPressOutflowLength, -h}, {0.0f, -h}, {0.0f, h}, {-kPressOutflowTipLength, h}}});
  needle(d, kPressSafety, 90.0f, {{{-kPressSafetyLength, -h}, {0.0f, -h}, {0.0f, h}, {-kPressSafetyLength, h}}});
  const Corners dial{{{-kPressNeedleLength, -n}, {0.0f, -n}, {0.0f, n}, {-kPressNeedleLength, n}}};
  needle(d, kPressDp, press::dpAngle(c.dpPsi), dial);
  needle(d, kPressVs, press::verticalSpeedAngle(vs), dial);
  needle(d, kPressCabAlt, press::cabinAltitudeAngle(c.altitudeFt), dial);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float size = kPressValueSize, y = kPressValueY;
  DrawDecimal(f, float(std::clamp(c.dpPsi, -1e6, 1e6)), 2, 1, 0, 1, kNormal, size, kPressDpX, y, kElementZ);
  const std::int32_t magnitude = truncToInt32(std::fabs(vs));
  DrawNumber(f, magnitude, 4, 0, 1, press::verticalSpeedColour(vs), size,
             std::fabs(vs) > 99.0f ? kPressVsX : kPressVsShortX, y, kElementZ);
  if (vs < 0.0f) DrawText(f, "-", kNormal, size, kPressVsX, y, kElementZ);
  DrawNumber(f, truncToInt32(c.altitudeFt), 4, 0, 1, kNormal, size, kPressCabAltX, y, kElementZ);
  DrawText(f, "SYS1", kNormal, kPressSystemSize, kPressSystem.x, kPressSystem.y, kElementZ);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
