// BLEED page.
#include "ecam/sd/pages.h"

namespace sd {

namespace {
constexpr int kBackgroundSlot = 2;
}  // namespace

void resetBleedPage() {}

bool drawBleedPage(SystemDisplay& d, const FlightDataBlock& block) {
  d.drawBackground(kBackgroundSlot);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
