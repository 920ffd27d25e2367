// BLEED page: valves, pack needles, bleed pressures and precooler
// temperatures, all derived from the two N2 words.
#include "ecam/sd/bleed_page.h"

#include "ecam/sd/masked_quad.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 2;
constexpr int kValveSlot = 3;
constexpr int kValveMaskSlot = 4;
constexpr int kNeedleLowSlot = 5;
constexpr int kNeedleMaskSlot = 6;
constexpr int kNeedleSlot = 8;
constexpr float kSymbolZ = -0.15f;
constexpr std::int32_t kNormal = 2;
constexpr std::int32_t kHot = 5;
constexpr float kHotAbove = 300.0f;

void symbol(const SystemDisplay& d, sdgeo::Point at, float angle, int mask, int colour, sdgeo::Quad q) {
  d.beginGroup();
  glTranslatef(at.x, at.y, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  maskedQuad(d.textures.data(), mask, colour, q, kSymbolZ);
}

}  // namespace

namespace bleed {

Precoolers& precoolers() {
  static Precoolers p;
  return p;
}

float stepTemperature(float t, float n, int engine) {
  // The two engines' laws differ only in the sign of the offset.
  const double lowOffset = engine == 0 ? -1.0 : 1.0;
  if (n > 104.0f) {
    if (t <= 484.0f) t += 0.04f;
    return t;
  }
  if (t < 339.0f) {
    t = float(double(n) * 3.227 + lowOffset);
    if (t < 339.0f) return t;
  }
  return float(double(n) * 4.62 - lowOffset);
}

float bleedPressure(float n) { return n < 20.0f ? n * 2.2f : 44.0f; }

float valveAngle(float n) { return n > 21.0f ? 90.0f : 0.0f; }

Pack pack(float t) {
  Pack p{};
  p.upper = truncToInt32(double(t) * 0.124);
  p.lower = truncToInt32(double(t) * 0.25);
  p.upperAngle = float(-23.0 - (double(p.upper) * 1.756 + 23.0));
  p.lowerAngle = float(-23.0 - double(p.lower) * 0.5372);
  p.upperLive = p.upper > 23;
  p.lowerLive = p.lower > 0;
  return p;
}

}  // namespace bleed

void resetBleedPage() { bleed::precoolers() = bleed::Precoolers{}; }

bool drawBleedPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const float n[2] = {block.f32(130) * kPercentPerRaw, block.f32(180) * kPercentPerRaw};
  float* t = bleed::precoolers().temperature;
  for (int e = 0; e < 2; ++e) t[e] = bleed::stepTemperature(t[e], n[e], e);
  const float valve1 = bleed::valveAngle(n[0]), valve2 = bleed::valveAngle(n[1]);

  d.drawBackground(kBackgroundSlot);
  glEnable(GL_TEXTURE_2D);
  const float valveAngles[8] = {0.0f, valve2, valve1, 90.0f, valve1, valve1 + 90.0f, valve2 + 90.0f, valve2};
  const Quad valveQuad{-kValveHalf, -kValveHalf, kValveHalf, kValveHalf};
  for (int i = 0; i < 8; ++i) symbol(d, kBleedValves[i], valveAngles[i], kValveMaskSlot, kValveSlot, valveQuad);

  const bleed::Pack packs[2] = {bleed::pack(t[0]), bleed::pack(t[1])};
  const Point upper[2] = {kPack1Upper, kPack2Upper}, lower[2] = {kPack1Lower, kPack2Lower};
  const Quad needle{-kPackNeedleLength, -kNeedleHalfWidth, 0.0f, kNeedleHalfWidth};
  for (int s = 0; s < 2; ++s) {
    const bleed::Pack& p = packs[s];
    symbol(d, upper[s], p.upperAngle, kNeedleMaskSlot, p.upperLive ? kNeedleSlot : kNeedleLowSlot, needle);
    symbol(d, lower[s], p.lowerAngle, kNeedleMaskSlot, p.lowerLive ? kNeedleSlot : kNeedleLowSlot, needle);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float size = kBleedValueSize;
  for (int s = 0; s < 2; ++s) {
    DrawNumber(f, packs[s].upper, 3, 0, 1, kNormal, size, kBleedPackX[s], kBleedPackUpperY, kElementZ);
    DrawNumber(f, packs[s].lower, 3, 0, 1, kNormal, size, kBleedPackX[s], kBleedPackLowerY, kElementZ);
    DrawNumber(f, truncToInt32(bleed::bleedPressure(n[s])), 2, 1, 1, kNormal, size, kBleedPressure[s].x,
               kBleedPressure[s].y, kElementZ);
    // A NaN temperature is not above the limit: it shows as 000 in place.
    const bool hot = t[s] > kHotAbove;
    DrawNumber(f, truncToInt32(t[s]), 3, 1, 1, hot ? kHot : kNormal, size, kBleedTempX[s],
               hot ? kBleedTempHotY : kBleedTempY, kElementZ);
  }
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
