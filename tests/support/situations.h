#pragma once
// Fixed moments of a flight drawn offscreen: what the reference pictures,
// the render benchmarks and the profiling driver all draw.
#include <cstdint>
#include <string>
#include <vector>

#include "ecam/sd/system_display.h"
#include "instruments/flight_data.h"

namespace testing_support {

// Climbing turn at FL240: both engines at climb thrust, the flight director
// on, both RMI stations received, the system display on CRUISE.
FlightDataBlock climbBlock();
// Short final: gear down, flaps 3, landing checklist, panel tinted.
FlightDataBlock approachBlock();
// At the gate with the APU, doors open, parking brake set.
FlightDataBlock gateBlock();
// Every line of the engine and warning display busy: a full warning list,
// flaps between two detents, readouts in red.
FlightDataBlock busyEngineBlock(float flap);

struct Situation {
  std::string name;  // also the reference picture's file name
  int width = 0, height = 0;
  std::int32_t type = -1;  // -1: the default layout scaled to the size
  float rotation = 0.0f;
  // Drawn one frame each, the last one `frames` times: what the instruments
  // saw before (the fuel at the gate) and the models' run-up.
  std::vector<FlightDataBlock> blocks;
  int frames = 1;
  SdPage page = SdPage::None;  // the system display's page, checked when set
};

// Every instrument, every system page, the busy engine display, the three
// rotations and the tint.
std::vector<Situation> referenceSituations();
const Situation* findSituation(const std::string& name);

struct DrawnSituation {
  std::vector<std::uint8_t> rgba;  // top row first, opaque
  SdPage page = SdPage::None;       // what the last system display showed
  int messages = 0;                 // message boxes raised (missing artwork)
};
// Draws a situation from a fresh start (the system pages' shared models
// reset) with the artwork in dataDir.
DrawnSituation drawSituation(const Situation& s, const std::string& dataDir);

}  // namespace testing_support
