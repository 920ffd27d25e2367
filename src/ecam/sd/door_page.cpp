// DOOR page.
#include "ecam/sd/pages.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 40;
}  // namespace

void resetDoorPage() {}

bool drawDoorPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
