#include "ecam/ewd/engine_warning_display.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ecam/ewd/ewd_geometry.h"
#include "ecam/ewd/warnings.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

using namespace ewdgeo;

namespace {

constexpr int kBackgroundSlot = 0;
constexpr int kBackgroundMaskSlot = 1;
constexpr int kMarkerSlot = 2;
constexpr int kMarkerMaskSlot = 3;

constexpr float kTextSize = 0.9f;
constexpr float kTenthSize = 0.7f;
constexpr float kTextZ = -0.8f;

struct TextureFile {
  int slot;
  const char* file;
};
constexpr TextureFile kTextureFiles[] = {
    {0, "Data/03310000.tex"},  {1, "Data/03310001.tex"},  {2, "Data/03310002.tex"},  {3, "Data/03310003.tex"},
    {10, "Data/99990020.tex"}, {11, "Data/99990021.tex"}, {12, "Data/99990022.tex"}, {13, "Data/99990023.tex"},
    {14, "Data/99990024.tex"}, {15, "Data/99990025.tex"}, {16, "Data/99990026.tex"}, {18, "Data/99990028.tex"},
    {19, "Data/99990032.tex"}, {20, "Data/99990033.tex"},
};

void needle(const InstrumentContext& ctx, float cx, float cy, float angle) {
  gldraw::beginGroup(ctx);
  glTranslatef(cx, cy, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glBegin(GL_LINES);
  glVertex3f(-kNeedleLength, 0.0f, kNeedleZ);
  glVertex3f(0.0f, 0.0f, kNeedleZ);
  glEnd();
}

void marker(const EngineWarningDisplay& d, float cx, float angle) {
  gldraw::beginGroup(d.ctx);
  glTranslatef(cx, kN1CentreY, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  gldraw::maskedQuad(d.textures[kMarkerMaskSlot], d.textures[kMarkerSlot], -kMarkerOuter, -kMarkerHalfWidth,
                     -kMarkerInner, kMarkerHalfWidth, kMarkerZ);
}

// "%3d." of the truncated percentage, then its tenth in smaller digits;
// nothing where the value has no place in the box.
void percentReadout(const FontSet& font, float raw, float x, float tenthX, float y) {
  const ewd::PercentReadout r = ewd::percentReadout(raw);
  if (r.whole.empty()) return;
  DrawText(font, r.whole.c_str(), r.colour, kTextSize, x, y, kTextZ);
  DrawDigit(font, r.tenth, r.colour, kTenthSize, tenthX, y, kTextZ);
}

// "%<width>d" of the rounded value; nothing when it needs more than cells.
void roundedReadout(const FontSet& font, int width, int cells, float value, float x, float y) {
  DrawText(font, ewd::roundedCells(value, width, cells).c_str(), 2, kTextSize, x, y, kTextZ);
}

}  // namespace

namespace ewd {

float rawToPercent(float raw) { return raw * kPercentPerRaw; }
float rankineToCelsius(float rankine) { return rankine * 0.5555556f - 273.15f; }

float clampEgt(float celsius) {
  if (celsius < kEgtMin) return kEgtMin;
  if (celsius > kEgtMax) return kEgtMax;
  return celsius;
}

PercentReadout percentReadout(float raw) {
  PercentReadout r;
  // Exact in double: a float times 25/4096.
  const double percent = double(raw) * double(kPercentPerRaw);
  if (!std::isfinite(percent)) return r;
  const DecimalParts parts = SplitDecimal(std::fabs(percent), 1);
  if (parts.whole > 999.0) return r;
  const bool minus = percent < 0.0 && (parts.whole > 0.0 || parts.fraction > 0.0);
  char text[16];
  std::snprintf(text, sizeof text, "%s%d", minus ? "-" : "", int(parts.whole));
  if (std::strlen(text) > 3) return r;
  char cells[16];
  std::snprintf(cells, sizeof cells, "%3s.", text);
  r.whole = cells;
  r.tenth = std::int32_t(parts.fraction);
  // Above 100 % by more than float rounding: 100.0 sent stays colour 2.
  r.colour = percent > 100.0 * (1.0 + kFloatSlack) ? 6 : 2;
  return r;
}

std::string roundedCells(float value, int width, int cells) {
  if (std::isnan(value)) return {};
  const std::int64_t v = RoundNearest(value);
  char text[32];
  std::snprintf(text, sizeof text, "%*lld", width, static_cast<long long>(v));
  if (std::strlen(text) > std::size_t(cells)) return {};
  return text;
}

}  // namespace ewd

EngineWarningDisplay::EngineWarningDisplay(InstrumentContext& context) : Instrument(A320_ECAM_ENGINE), ctx(context) {}

EngineWarningDisplay::~EngineWarningDisplay() {
  gldraw::deleteTextures(textures.data(), int(textures.size()));
}

bool EngineWarningDisplay::initialise() {
  textures.fill(0);
  bool all = true;
  for (const TextureFile& f : kTextureFiles) all = ctx.loadTexture(f.file, textures[std::size_t(f.slot)]) && all;
  ewd::ClearMessages(messages);
  checklistRequest = 0;
  keyLatch = 0;
  flapMotion = 0;
  previousFlap = 0.0f;
  return all;
}

bool EngineWarningDisplay::draw(const FlightDataBlock& block, const Placement& placement) {
  if (placement.visible == 0) return true;

  const bool kg = ctx.weightUnitKg() != 0;
  const float weight = kg ? ewd::kKgPerLb : 1.0f;
  const float n1[2] = {ewd::rawToPercent(block.f32(129)), ewd::rawToPercent(block.f32(179))};
  const float lever[2] = {ewd::rawToPercent(block.f32(141)), ewd::rawToPercent(block.f32(191))};
  const float egt[2] = {ewd::clampEgt(ewd::rankineToCelsius(block.f32(158))),
                        ewd::clampEgt(ewd::rankineToCelsius(block.f32(208)))};
  const float fuelFlow[2] = {block.f32(120) * weight, block.f32(170) * weight};
  const float fuelOnBoard = block.f32(105) * weight;
  const ewd::ThrustMode mode = ewd::thrustMode(lever[0]);
  const float engineX[2] = {kEngine1X, kEngine2X};

  gldraw::beginInstrument(placement);
  const ewd::FlapFrame flap = ewd::flapFrame(block.f32(37), ewd::flapSettings(ctx));
  ewd::updateFlapMotion(*this, flap);

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(4.0f);
  glColor3f(0.4f, 0.8f, 0.0f);
  for (int e = 0; e < 2; ++e) needle(ctx, engineX[e], kN1CentreY, n1DialAngle(n1[e]));
  for (int e = 0; e < 2; ++e) needle(ctx, engineX[e], kEgtCentreY, egtDialAngle(egt[e]));
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_BLEND);

  glEnable(GL_TEXTURE_2D);
  gldraw::beginGroup(ctx);
  // Blending ends off, or the black flap covers drawn next would add nothing.
  gldraw::maskedQuad(ctx, textures[kBackgroundMaskSlot], textures[kBackgroundSlot], -1.0f, -1.0f, 1.0f, 1.0f,
                     kBackgroundZ);
  for (int e = 0; e < 2; ++e) marker(*this, engineX[e], n1DialAngle(lever[e]));
  glBindTexture(GL_TEXTURE_2D, 0);

  gldraw::beginGroup(ctx);
  glDisable(GL_TEXTURE_2D);
  ewd::drawFlapIndicator(*this, flap);

  // Only text from here on: all of it in a few draws.
  const FontSet f = font();
  GlyphBatch text(f);
  DrawText(f, "N1", 0, kTextSize, -0.34f, 0.59f, kTextZ);
  DrawText(f, "%", 1, kTextSize, -0.32f, 0.51f, kTextZ);
  percentReadout(f, block.f32(129), -0.69f, -0.52f, 0.515f);
  percentReadout(f, block.f32(179), -0.14f, 0.03f, 0.515f);
  DrawText(f, "EGT", 0, kTextSize, -0.38f, 0.23f, kTextZ);
  DrawText(f, "\xB0" "C", 1, kTextSize, -0.36f, 0.15f, kTextZ);
  // 1000, the top of the clamp, takes a fourth cell; the box has room.
  roundedReadout(f, 3, 4, egt[0], -0.65f, 0.16f);
  roundedReadout(f, 3, 4, egt[1], -0.1f, 0.16f);
  DrawText(f, "N2", 0, kTextSize, -0.355f, 0.02f, kTextZ);
  DrawText(f, "%", 1, kTextSize, -0.33f, -0.06f, kTextZ);
  percentReadout(f, block.f32(130), -0.73f, -0.56f, -0.03f);
  percentReadout(f, block.f32(180), -0.11f, 0.06f, -0.03f);
  DrawText(f, "F.F", 0, kTextSize, -0.37f, -0.16f, kTextZ);
  DrawText(f, kg ? "KG/H" : "LB/H", 1, kTextSize, -0.395f, -0.24f, kTextZ);
  roundedReadout(f, 4, 4, fuelFlow[0], -0.72f, -0.21f);
  roundedReadout(f, 4, 4, fuelFlow[1], -0.1f, -0.21f);

  ewd::drawFlapText(*this, flap);
  ewd::drawFuelOnBoard(*this, fuelOnBoard, kg);
  ewd::drawThrustMode(*this, mode);
  ewd::drawWarningFrame(*this, block);
  ewd::drawBrakeMemos(*this, block);
  return true;
}
