// STATUS page.
#include "ecam/sd/pages.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 60;
}  // namespace

void resetStatusPage() {}

bool drawStatusPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
