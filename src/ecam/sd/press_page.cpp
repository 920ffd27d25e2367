// PRESS page.
#include "ecam/sd/pages.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 7;
}  // namespace

void resetPressPage() {}

bool drawPressPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
