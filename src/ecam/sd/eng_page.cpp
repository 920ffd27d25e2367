// ENG page: fuel used, oil dials and vibration of both engines.
#include "ecam/sd/eng_page.h"

#include <cmath>

#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 0;
constexpr float kNeedleZ = -0.45f;
constexpr std::int32_t kColour = 2;
constexpr std::int32_t kWarningColour = 6;
constexpr float kPsiPerRaw = 0.0023640662f;  // raw / 423
constexpr float kSecondsPerHour = 3600.0f;
constexpr float kVibrationKnee = 15.3f;

// Angle in degrees; a non-finite one would turn the matrix into NaNs.
void needle(const SystemDisplay& d, sdgeo::Point pivot, float angle) {
  if (!std::isfinite(angle)) return;
  d.beginGroup();
  glTranslatef(pivot.x, pivot.y, 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glBegin(GL_LINES);
  glVertex3f(-sdgeo::kEngNeedleLength, 0.0f, kNeedleZ);
  glVertex3f(0.0f, 0.0f, kNeedleZ);
  glEnd();
}

}  // namespace

namespace eng {

float fuelUsedKg(float fuelFlowLbPerHour, std::int32_t elapsedSeconds) {
  return fuelFlowLbPerHour * kKgPerLb / kSecondsPerHour * float(elapsedSeconds);
}

float vibration(float x) {
  if (x <= kVibrationKnee) return 0.12f * x + 0.5f;
  return 0.12f * x - 0.0241f * x + 0.5f;
}

EngineValues engineValues(const FlightDataBlock& block, int engine) {
  const int w = engine == 0 ? 0 : 50;
  EngineValues v;
  v.fuelUsedKg = fuelUsedKg(block.f32(engine == 0 ? 112 : 113), truncToInt32(block.f32(5)));
  v.oilPressurePsi = block.f32(123 + w) * kPsiPerRaw;
  v.oilQuantity = 3.0f * std::sqrt(v.oilPressurePsi);  // NaN below 0 psi: no readout then
  v.value = block.f32(124 + w) * 0.01f;
  v.n1Vibration = vibration(block.f32(129 + w) * 0.001f);
  v.n2Vibration = vibration(block.f32(130 + w) * 0.001f);
  return v;
}

float oilQuantityAngle(float q) { return sdgeo::kOilQtyAngle0 + sdgeo::kOilQtyAngleSlope * q; }
float oilPressureAngle(float p) { return sdgeo::kOilPressAngle0 + sdgeo::kOilPressAngleSlope * p; }
std::int32_t oilPressureColour(float p) { return p <= sdgeo::kOilPressLow ? kWarningColour : kColour; }
std::int32_t valueColour(float v) { return v <= sdgeo::kValueLow ? kWarningColour : kColour; }

float fuelUsed2X(float fu) {
  if (fu < 10.0f) return sdgeo::kEngFuelUsed2X[0];
  if (fu <= 99.0f) return sdgeo::kEngFuelUsed2X[1];
  if (fu <= 999.0f) return sdgeo::kEngFuelUsed2X[2];
  return sdgeo::kEngFuelUsed2X[3];
}

}  // namespace eng

void resetEngPage() {}

bool drawEngPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const eng::EngineValues e1 = eng::engineValues(block, 0), e2 = eng::engineValues(block, 1);

  d.drawBackground(kBackgroundSlot);

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(4.0f);
  glColor3f(0.4f, 0.8f, 0.0f);
  needle(d, kEngOilQty1, eng::oilQuantityAngle(e1.oilQuantity));
  needle(d, kEngOilQty2, eng::oilQuantityAngle(e2.oilQuantity));
  needle(d, kEngOilPress1, eng::oilPressureAngle(e1.oilPressurePsi));
  needle(d, kEngOilPress2, eng::oilPressureAngle(e2.oilPressurePsi));
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_BLEND);
  glLineWidth(1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float s = kEngValueSize, z = kElementZ;
  DrawDecimal(f, e1.fuelUsedKg, 4, 0, 0, 1, kColour, s, kEngFuelUsed1.x, kEngFuelUsed1.y, z);
  DrawDecimal(f, e2.fuelUsedKg, 4, 0, 0, 1, kColour, s, eng::fuelUsed2X(e2.fuelUsedKg), kEngFuelUsed1.y, z);
  DrawDecimal(f, e1.oilQuantity, 2, 1, 1, 1, kColour, s, kEngOilQtyValue1.x, kEngOilQtyValue1.y, z);
  DrawDecimal(f, e2.oilQuantity, 2, 1, 1, 1, kColour, s, kEngOilQtyValue2.x, kEngOilQtyValue2.y, z);
  DrawDecimal(f, e1.oilPressurePsi, 3, 0, 1, 1, eng::oilPressureColour(e1.oilPressurePsi), s, kEngOilPressValue1.x,
              kEngOilPressValue1.y, z);
  DrawDecimal(f, e2.oilPressurePsi, 3, 0, 1, 1, eng::oilPressureColour(e2.oilPressurePsi), s, kEngOilPressValue2.x,
              kEngOilPressValue2.y, z);
  DrawNumber(f, truncToInt32(e1.value), 2, 1, 1, eng::valueColour(e1.value), s, kEngValue1.x, kEngValue1.y, z);
  DrawNumber(f, truncToInt32(e2.value), 2, 1, 1, eng::valueColour(e2.value), s, kEngValue2.x, kEngValue2.y, z);
  DrawDecimal(f, e1.n1Vibration, 1, 1, 1, 1, kColour, s, kEngN1Vib1.x, kEngN1Vib1.y, z);
  DrawDecimal(f, e2.n1Vibration, 1, 1, 1, 1, kColour, s, kEngN1Vib2.x, kEngN1Vib2.y, z);
  DrawDecimal(f, e1.n2Vibration, 1, 1, 1, 1, kColour, s, kEngN2Vib1.x, kEngN2Vib1.y, z);
  DrawDecimal(f, e2.n2Vibration, 1, 1, 1, 1, kColour, s, kEngN2Vib2.x, kEngN2Vib2.y, z);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
