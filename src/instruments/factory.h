#pragma once
#include <cstdint>

#include "instruments/instrument.h"

// The window's table of instrument types. Initialise and draw go through a
// switch on the instrument's own type, with no virtual call per frame.
namespace instruments {

// Null when the type is outside 0 to 6 or not available in this build.
Instrument* construct(std::int32_t type, InstrumentContext& ctx);
bool initialise(Instrument& instrument, const FlightDataBlock& block);
void draw(Instrument& instrument, const FlightDataBlock& block, const Placement& placement);

}  // namespace instruments
