#include "instruments/factory.h"

#include "ecam/ewd/engine_warning_display.h"
#include "ecam/sd/system_display.h"
#include "standby/airspeed.h"
#include "standby/altimeter.h"
#include "standby/attitude.h"
#include "standby/clock.h"
#include "standby/rmi.h"

const char* instrumentIdentifier(std::int32_t type) {
  static const char* const names[kInstrumentTypeCount] = {
      "A320_ECAM_ENGINE", "A320_ECAM_SYSTEM", "A320_CLOCK", "A320_RMI",
      "A320_ATTITUDE",    "A320_ALTITUDE",    "A320_AIRSPEED"};
  if (type < 0 || type >= kInstrumentTypeCount) return nullptr;
  return names[type];
}

namespace instruments {

Instrument* construct(std::int32_t type, InstrumentContext& ctx) {
  switch (type) {
    case A320_ECAM_ENGINE: return new EngineWarningDisplay(ctx);
    case A320_ECAM_SYSTEM: return new SystemDisplay(ctx);
    case A320_CLOCK: return new Clock(ctx);
    case A320_RMI: return new Rmi(ctx);
    case A320_ATTITUDE: return new AttitudeIndicator(ctx);
    case A320_ALTITUDE: return new Altimeter(ctx);
    case A320_AIRSPEED: return new AirspeedIndicator(ctx);
    default: return nullptr;
  }
}

bool initialise(Instrument& instrument, const FlightDataBlock& block) {
  switch (instrument.type()) {
    case A320_ECAM_ENGINE: return static_cast<EngineWarningDisplay&>(instrument).initialise();
    case A320_ECAM_SYSTEM: return static_cast<SystemDisplay&>(instrument).initialise(block);
    case A320_CLOCK: return static_cast<Clock&>(instrument).initialise();
    case A320_RMI: return static_cast<Rmi&>(instrument).initialise();
    case A320_ATTITUDE: return static_cast<AttitudeIndicator&>(instrument).initialise();
    case A320_ALTITUDE: return static_cast<Altimeter&>(instrument).initialise();
    case A320_AIRSPEED: return static_cast<AirspeedIndicator&>(instrument).initialise();
    default: return false;
  }
}

void draw(Instrument& instrument, const FlightDataBlock& block, const Placement& placement) {
  switch (instrument.type()) {
    case A320_ECAM_ENGINE: static_cast<EngineWarningDisplay&>(instrument).draw(block, placement); break;
    case A320_ECAM_SYSTEM: static_cast<SystemDisplay&>(instrument).draw(block, placement); break;
    case A320_CLOCK: static_cast<Clock&>(instrument).draw(block, placement); break;
    case A320_RMI: static_cast<Rmi&>(instrument).draw(block, placement); break;
    case A320_ATTITUDE: static_cast<AttitudeIndicator&>(instrument).draw(block, placement); break;
    case A320_ALTITUDE: static_cast<Altimeter&>(instrument).draw(block, placement); break;
    case A320_AIRSPEED: static_cast<AirspeedIndicator&>(instrument).draw(block, placement); break;
    default: break;
  }
}

}  // namespace instruments
