#pragma once
#include "aircraft_state.h"
#include "instruments/flight_data.h"

// The one place that turns an aircraft state into a flight data block: every
// unit conversion, bit word and sign the display expects lives here, so each
// simulator adapter only has to fill an AircraftState. docs/flight-data.md
// describes every word as the display reads it.
namespace bridge {

struct Options {
  float flapsFullDegrees = 40.0f;  // flap ratio 1.0, in the FLAPS settings' unit
};

// Every word the instruments read; the others stay 0.
void composeBlock(const AircraftState& state, const Options& options, FlightDataBlock& out);

}  // namespace bridge
