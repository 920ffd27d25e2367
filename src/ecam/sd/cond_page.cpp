// COND page: zone temperatures, the three trim valves with their needles
// and the hot-air valve.
#include "ecam/sd/cond_page.h"

#include <algorithm>
#include <cmath>

#include "ecam/sd/cabin_model.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 39;
constexpr int kHotAirSlot = 3;
constexpr int kNeedleSlot = 8;
constexpr float kHotAirZ = -0.13f;
constexpr float kNeedleZ = -0.15f;
constexpr std::int32_t kColour = 2;
constexpr float kValveOpenLimit = 110.0f;
constexpr float kValveOpening = 0.5f;
constexpr float kValveClosing = 0.3f;  // zone at its target
constexpr float kValveDrift = 0.002f;  // zone still short of its target

// Opening the valves jump to when the zones are seeded from the SAT, by how
// far the SAT lies below the zone 1 target.
struct SeedOpening {
  std::int64_t above;
  float opening;
};
constexpr SeedOpening kSeedOpenings[] = {{20, 200.0f}, {15, 170.0f}, {10, 120.0f}, {5, 80.0f}, {2, 50.0f}};

void decayValves(const CabinState& c, cond::TrimValves& v) {
  for (int i = 0; i < 3; ++i) {
    float& o = v.opening[i];
    if (float(double(c.zoneTarget[i]) - 1.0) <= c.zoneTemperature[i]) {
      o -= kValveClosing;
      if (o <= 0.0f) o = 0.0f;
    } else {
      o -= kValveDrift;  // may go below 0: the page shows it as it is
    }
  }
}

}  // namespace

namespace cond {

TrimValves& trimValves() {
  static TrimValves valves;
  return valves;
}

void step(CabinState& c, TrimValves& v, float speedKt, float satC, float altitudeFt) {
  const std::int32_t sat = cabin::seedTemperature(satC);
  const std::int64_t satShortfall = std::int64_t(c.zoneTarget[0]) - sat;
  const std::int64_t shortfall = cabin::zone1Shortfall(c);
  if (speedKt < 10.0f) {
    if (c.seed) {
      cabin::seedZones(c, sat);
      for (const SeedOpening& s : kSeedOpenings)
        if (satShortfall > s.above) {
          for (float& o : v.opening) o = s.opening;
          break;
        }
    } else {
      cabin::raiseZones(c, cabin::kGroundWarming);
      decayValves(c, v);
    }
  }
  if (altitudeFt > 3000.0f && speedKt > 100.0f) {
    if (cabin::cruiseStep(c, shortfall))
      for (float& o : v.opening) o = std::min(o + kValveOpening, kValveOpenLimit);
    decayValves(c, v);
    cabin::endHeatingAtTarget(c);
  }
}

float needleAngle(float opening) {
  const float a = -(opening * 0.435f) - 47.0f;
  if (std::isnan(a)) return sdgeo::kCondAngleShut;
  return std::clamp(a, sdgeo::kCondAngleOpen, sdgeo::kCondAngleShut);
}

bool hotAirShown(const TrimValves& v) {
  return std::any_of(std::begin(v.opening), std::end(v.opening), [](float o) { return o > 0.5f; });
}

}  // namespace cond

void resetCondPage() { cond::trimValves() = cond::TrimValves{}; }

bool drawCondPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  CabinState& c = cabinState();
  cond::TrimValves& v = cond::trimValves();
  cond::step(c, v, block.f32(25), block.f32(7), block.f32(29));

  d.drawBackground(kBackgroundSlot);
  const GLuint* tex = d.textures.data();
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);  // the symbol covers the shut valve of the picture
  if (cond::hotAirShown(v)) {
    d.beginGroup();
    glBindTexture(GL_TEXTURE_2D, tex[kHotAirSlot]);
    gldraw::texturedQuad(kCondHotAir.x0, kCondHotAir.y0, kCondHotAir.x1, kCondHotAir.y1, kHotAirZ, 0.0f, 0.0f, 1.0f,
                         1.0f);
  }
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, tex[kNeedleSlot]);
  for (int i = 0; i < 3; ++i) {
    d.beginGroup();
    glTranslatef(kCondTrim[i].x, kCondTrim[i].y, 0.0f);
    glRotatef(cond::needleAngle(v.opening[i]), 0.0f, 0.0f, 1.0f);
    gldraw::texturedQuad(-kCondNeedleLength, -kCondNeedleHalfWidth, 0.0f, kCondNeedleHalfWidth, kNeedleZ, 0.0f, 0.0f,
                         1.0f, 1.0f);
  }
  glDisable(GL_BLEND);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  for (int i = 0; i < 3; ++i) {
    DrawNumber(f, truncToInt32(c.zoneTemperature[i]), 2, 0, 1, kColour, kCondZoneSize, kCondZoneX[i], kCondZoneY,
               kElementZ);
    DrawNumber(f, truncToInt32(v.opening[i]), 3, 0, 1, kColour, kCondValveSize, kCondValveX[i], kCondValveY,
               kElementZ);
  }
  d.drawPermanentData(block);
  c.seed = false;
  return true;
}

}  // namespace sd
