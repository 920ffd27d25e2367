// APU page: generator, bleed, speed and EGT dials of the page's own APU.
#include "ecam/sd/apu_page.h"

#include <algorithm>
#include <cmath>

#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 33;
constexpr int kOuterMaskSlot = 35;
constexpr int kOuterSlot = 34;
constexpr int kInnerMaskSlot = 6;
constexpr int kInnerSlot = 8;
constexpr int kBleedOpenSlot = 36;
constexpr int kBleedShutSlot = 37;
constexpr int kGenLinkSlot = 38;
constexpr float kOuterZ = -0.13f;
constexpr float kInnerZ = -0.15f;
constexpr float kSymbolZ = -0.16f;
constexpr std::int32_t kColour = 2;
constexpr std::int32_t kUnavailableColour = 5;
constexpr float kSwitchOverFt = 3000.0f;

void raise(float& v, float by, float limit) { v = std::min(v + by, limit); }
void lowerTo(float& v, float by, float floor) {
  v -= by;
  if (v < floor) v = floor;
}

void needle(const SystemDisplay& d, sdgeo::Point pivot, float angle, int mask, int colour, float length, float z) {
  const GLuint* tex = d.textures.data();
  d.beginGroup();
  glTranslatef(pivot.x, pivot.y, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(tex[mask], tex[colour], -length, -sdgeo::kNeedleHalfWidth, 0.0f, sdgeo::kNeedleHalfWidth, z);
}

void symbol(const SystemDisplay& d, int slot, const sdgeo::Quad& q) {
  d.beginGroup();
  glBindTexture(GL_TEXTURE_2D, d.textures[std::size_t(slot)]);
  gldraw::texturedQuad(q.x0, q.y0, q.x1, q.y1, kSymbolZ, 0.0f, 0.0f, 1.0f, 1.0f);
}

}  // namespace

namespace apu {

ApuModel& apuModel() {
  static ApuModel model;
  return model;
}

bool step(ApuModel& m, float altitudeFt, bool engineOut) {
  bool available = true;
  if (altitudeFt > kSwitchOverFt) {
    m.voltage -= 0.05f;
    if (m.voltage < 60.0f) m.voltage = 0.0f;
    m.load -= 0.05f;
    if (m.load < 8.0f) m.frequency -= 0.03f;
    if (m.frequency < 60.0f) m.frequency = 0.0f;
    if (m.load < 3.0f) available = false;
    m.bleed -= 0.05f;
    m.speed -= 0.05f;
    m.egt -= 0.12f;
    if (engineOut) {  // kept running for the stopped engine
      m.voltage = 115.0f;
      lowerTo(m.load, 0.005f, 19.0f);
      lowerTo(m.bleed, 0.005f, 32.0f);
      lowerTo(m.speed, 0.005f, 82.0f);
      lowerTo(m.egt, 0.06f, 689.0f);
    }
  } else if (altitudeFt < kSwitchOverFt) {
    m.voltage += 0.2f;
    if (m.voltage > 60.0f) m.voltage = 115.0f;
    m.load += 0.05f;
    if (m.load > 39.0f) {
      m.load = 39.0f;
      m.frequency += 0.3f;
    } else if (m.load > 8.0f) {
      m.frequency += 0.3f;
    }
    if (m.frequency > 60.0f) m.frequency = 400.0f;
    raise(m.bleed, 0.05f, 35.0f);
    raise(m.speed, 0.05f, 100.0f);
    raise(m.egt, 0.3f, 710.0f);
    if (engineOut) {
      raise(m.voltage, 0.2f, 115.0f);
      raise(m.load, 0.05f, 32.0f);
      raise(m.bleed, 0.05f, 32.0f);
      raise(m.speed, 0.05f, 82.0f);
      raise(m.egt, 0.6f, 689.0f);
    }
  }
  return available;
}

std::int32_t shownSpeed(float speed) { return std::clamp(truncToInt32(speed), 0, 116); }
std::int32_t shownEgt(float egt) { return std::clamp(truncToInt32(egt), 0, 1000); }
float speedAngle(std::int32_t n) { return 45.0f - 1.8f * float(n); }
float egtAngle(std::int32_t e) { return 45.0f - 0.18f * float(e); }

}  // namespace apu

void resetApuPage() { apu::apuModel() = apu::ApuModel{}; }

bool drawApuPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  apu::ApuModel& m = apu::apuModel();
  const bool engineOut = !(block.f32(148) > 1.0f) || !(block.f32(198) > 1.0f);
  const bool available = apu::step(m, block.f32(29), engineOut);
  const std::int32_t n = apu::shownSpeed(m.speed), e = apu::shownEgt(m.egt);
  const float aN = apu::speedAngle(n), aE = apu::egtAngle(e);

  d.drawBackground(kBackgroundSlot);
  glEnable(GL_TEXTURE_2D);
  needle(d, kApuNOuter, 0.9f * aN - 20.0f, kOuterMaskSlot, kOuterSlot, kApuOuterLength, kOuterZ);
  needle(d, kApuEgtOuter, 0.9f * aE - 20.0f, kOuterMaskSlot, kOuterSlot, kApuOuterLength, kOuterZ);
  needle(d, kApuNInner, aN, kInnerMaskSlot, kInnerSlot, kApuInnerLength, kInnerZ);
  needle(d, kApuEgtInner, aE, kInnerMaskSlot, kInnerSlot, kApuInnerLength, kInnerZ);
  if (available) {
    symbol(d, kBleedOpenSlot, kApuBleedOpen);
    symbol(d, kGenLinkSlot, kApuGenLink);
  } else {
    symbol(d, kBleedShutSlot, kApuBleedShut);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float s = kApuValueSize, z = kElementZ;
  if (available) {
    DrawText(f, "AVAIL", kColour, kApuAvailSize, kApuAvail.x, kApuAvail.y, z);
    DrawText(f, "FLAP OPEN", kColour, kApuFlapOpenSize, kApuFlapOpen.x, kApuFlapOpen.y, z);
    DrawNumber(f, truncToInt32(m.load), 2, 0, 1, kColour, s, kApuLoad.x, kApuLoad.y, z);
    DrawNumber(f, truncToInt32(m.voltage), 3, 0, 1, kColour, s, kApuVoltage.x, kApuVoltage.y, z);
    DrawNumber(f, truncToInt32(m.frequency), 3, 0, 1, kColour, s, kApuFrequency.x, kApuFrequency.y, z);
    DrawNumber(f, truncToInt32(m.bleed), 3, 0, 1, kColour, kApuBleedSize, kApuBleedPressure.x, kApuBleedPressure.y, z);
    DrawNumber(f, n, 3, 0, 1, kColour, s, kApuSpeed.x, kApuSpeed.y, z);
    DrawNumber(f, e, 3, 0, 1, kColour, s, kApuEgt.x, kApuEgt.y, z);
  } else {
    const std::int32_t c = kUnavailableColour;
    DrawText(f, "XX", c, s, kApuLoad.x, kApuLoad.y, z);
    DrawText(f, "XXX", c, s, kApuVoltage.x, kApuVoltage.y, z);
    DrawText(f, "XXX", c, s, kApuFrequency.x, kApuFrequency.y, z);
    DrawText(f, "XX", c, kApuBleedSize, kApuBleedPressure.x, kApuBleedPressure.y, z);
    DrawText(f, "XXX", c, s, kApuSpeed.x, kApuSpeed.y, z);
    DrawText(f, "XXX", c, s, kApuEgt.x, kApuEgt.y, z);
  }
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
