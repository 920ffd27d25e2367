// CRUISE page: engine summary, cabin pressure and the zone temperatures,
// whose model it advances on every draw.
#include "ecam/sd/cruise_page.h"

#include <algorithm>
#include <cmath>

#include "ecam/sd/cabin_model.h"
#include "ecam/sd/eng_page.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 59;
constexpr std::int32_t kColour = 2;
constexpr float kPsiPerRaw = 0.0023640662f;
constexpr float kCabinVsPerWord = 0.1537875f;
constexpr float kCabinAltPerWord = 0.656160009777546f;
constexpr std::int32_t kLandingElevationFt = 500;  // no landing elevation in the block

void number(const FontSet& f, std::int32_t value, std::int32_t positions, std::int32_t leadingZeros, float x,
            float y) {
  DrawNumber(f, value, positions, leadingZeros, 1, kColour, sdgeo::kCruiseSize, x, y, kElementZ);
}

}  // namespace

namespace cruise {

std::int32_t fuelUsedPerEngine(std::int32_t initialFuelKg, float fuelOnBoardLb) {
  const float fuelOnBoardKg = fuelOnBoardLb * kKgPerLb;
  return truncToInt32((float(initialFuelKg) - fuelOnBoardKg) * 0.5f);
}

float oilQuantity(float oilPressureRaw) { return 3.0f * std::sqrt(oilPressureRaw * kPsiPerRaw); }

float vibration(float n1Raw) { return eng::vibration(n1Raw * 0.001f); }

float engine2X(double value) {
  if (!(value > 99.0)) return sdgeo::kCruiseEngine2Small;
  if (value <= 999.0) return sdgeo::kCruiseEngine2Medium;
  return sdgeo::kCruiseEngine2Large;
}

double heightAboveGroundM(float altitudeFt, std::int32_t groundElevationFt) {
  const double altitude = std::min(double(altitudeFt), 40000.0);
  return (altitude - (double(groundElevationFt) - 1.0)) * 0.30480370641307;
}

void stepCabin(CabinState& c, float speedKt, float satC, double heightM) {
  const std::int64_t shortfall = cabin::zone1Shortfall(c);
  if (speedKt < 10.0f) {
    if (c.seed)
      cabin::seedZones(c, cabin::seedTemperature(satC));
    else
      cabin::raiseZones(c, cabin::kGroundWarming);
  }
  if (heightM > 3000.0 && speedKt > 100.0f) {
    cabin::cruiseStep(c, shortfall);
    cabin::endHeatingAtTarget(c);
  }
}

}  // namespace cruise

void resetCruisePage() {}  // its state is the shared cabin state

bool drawCruisePage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  CabinState& c = cabinState();
  if ((block.u32(221) & 2u) != 0) c.groundElevationFt = truncToInt32(block.f32(29));

  const FrameState& state = frameState();
  const std::int32_t fuelUsed = cruise::fuelUsedPerEngine(state.initialFuelKg, block.f32(105));
  const float oil1 = cruise::oilQuantity(block.f32(123)), oil2 = cruise::oilQuantity(block.f32(173));
  const float cabinVs = block.f32(30) * kCabinVsPerWord;
  const float cabinAlt = block.f32(219) * kCabinAltPerWord;
  cruise::stepCabin(c, block.f32(25), block.f32(7),
                    cruise::heightAboveGroundM(block.f32(29), c.groundElevationFt));

  d.drawBackground(kBackgroundSlot);
  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  if (state.initialFuelKnown) {
    number(f, fuelUsed, 4, 0, kCruiseFuelUsed1.x, kCruiseFuelUsed1.y);
    number(f, fuelUsed, 4, 0, cruise::engine2X(fuelUsed), kCruiseFuelUsedY);
  }
  number(f, truncToInt32(oil1), 4, 0, kCruiseOil1.x, kCruiseOil1.y);
  number(f, truncToInt32(oil2), 4, 0, cruise::engine2X(oil2), kCruiseOilY);
  DrawDecimal(f, cruise::vibration(block.f32(129)), 1, 2, 1, 1, kColour, kCruiseSize, kCruiseVib1.x, kCruiseVib1.y,
              kElementZ);
  DrawDecimal(f, cruise::vibration(block.f32(179)), 1, 2, 1, 1, kColour, kCruiseSize, kCruiseVib2.x, kCruiseVib2.y,
              kElementZ);

  DrawText(f, "AUTO", kColour, kCruiseSize, kCruiseLdgElevMode.x, kCruiseLdgElevMode.y, kElementZ);
  number(f, kLandingElevationFt, 4, 0, kCruiseLdgElev.x, kCruiseLdgElev.y);
  DrawText(f, cabinVs < 0.0f ? "-" : "+", kColour, kCruiseSize, kCruiseVsSign.x, kCruiseVsSign.y, kElementZ);
  number(f, truncToInt32(std::fabs(cabinVs)), 4, 1, kCruiseVs.x, kCruiseVs.y);
  number(f, truncToInt32(std::fabs(cabinAlt)), 4, 1, kCruiseCabAlt.x, kCruiseCabAlt.y);
  for (int i = 0; i < 3; ++i)
    number(f, truncToInt32(std::fabs(c.zoneTemperature[i])), 2, 1, kCruiseZoneX[i], kCruiseZoneY);

  c.seed = false;
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
