#pragma once
// The thirteen system pages, one file each. A page draws its background,
// its elements, then the permanent data area, and returns true.
#include <cstdint>

#include "ecam/sd/system_display.h"

namespace sd {

bool drawEngPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawBleedPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawPressPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawElecPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawHydPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawFuelPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawApuPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawCondPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawDoorPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawWheelPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawFctlPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawStatusPage(SystemDisplay& d, const FlightDataBlock& block);
bool drawCruisePage(SystemDisplay& d, const FlightDataBlock& block);

// Each page's models back to their start-of-run values.
void resetEngPage();
void resetBleedPage();
void resetPressPage();
void resetElecPage();
void resetHydPage();
void resetFuelPage();
void resetApuPage();
void resetCondPage();
void resetDoorPage();
void resetWheelPage();
void resetFctlPage();
void resetStatusPage();
void resetCruisePage();

// Cabin state that the CRUISE, COND, DOOR and PRESS pages share.
struct CabinState {
  float zoneTemperature[3] = {18.0f, 19.0f, 20.0f};
  std::int32_t zoneTarget[3] = {22, 24, 23};
  bool seed = true;
  bool heating = false;
  std::int32_t groundElevationFt = 0;
};
CabinState& cabinState();

}  // namespace sd
