// STATUS page: there is no failure model, so it always reports the normal
// status, flashing with the block's elapsed time.
#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 60;
}  // namespace

void resetStatusPage() {}

bool drawStatusPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  // On in even seconds, negative ones included; NaN counts as second 0.
  if (truncToInt32(block.f32(5)) % 2 == 0) {
    d.beginGroup();
    DrawText(d.font(), "AIRCRAFT STATUS IS NORMALLY ", 2, sdgeo::kStatusTextSize, sdgeo::kStatusText.x,
             sdgeo::kStatusText.y, kElementZ);
  }
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
