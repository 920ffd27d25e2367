// HYD page.
#include "ecam/sd/pages.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 22;
}  // namespace

void resetHydPage() {}

bool drawHydPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
