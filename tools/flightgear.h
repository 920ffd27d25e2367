#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "aircraft_state.h"
#include "bridge_loop.h"

// The FlightGear adapter: its packets as the aircraft state. FlightGear's generic protocol, in its
// text form, sends one line per record: every chunk of the protocol file
// printed with its own printf format, joined by the var separator (","),
// ended by the line separator ("\n"); over UDP each record is one datagram.
// The protocol file we ship is protocolXml(), so the order is ours.
namespace flightgear {

enum Field {
  UtcHour, UtcMinute, UtcSecond, Elapsed, Sat, Mach, Heading, Pitch, Roll, Ias, TargetSpeed, Altitude,
  VerticalSpeedFps, SettingInhg, FlapNorm, BrakeLeft, BrakeRight, ParkingBrake, LandingLights, Elevator,
  Aileron, ElevatorTrim, SpeedBrake, SpoilersArmed, GearDown, Gear0, Gear1, Gear2, Wow0, Wow1, Wow2, Agl,
  GroundSpeed, Stall, Overspeed, Fuel, N1Left, N2Left, EgtLeft, FuelFlowLeft, OilPressureLeft,
  OilTemperatureLeft, ThrottleLeft, N1Right, N2Right, EgtRight, FuelFlowRight, OilPressureRight,
  OilTemperatureRight, ThrottleRight, Nav1Bearing, Nav1InRange, Nav2Bearing, Nav2InRange, SdPageSelect,
  ChecklistButton, Autobrake, DoorsOpen, kFieldCount
};

struct FieldSpec {
  Field field;
  const char* name;
  const char* type;  // bool, int, float or double, as the protocol file says
  const char* format;
  const char* property;
};
const std::array<FieldSpec, kFieldCount>& fields();

using Packet = std::array<double, kFieldCount>;

// The longest datagram taken; a record of this protocol is far shorter.
inline constexpr std::size_t kMaxPacketBytes = 4096;
// Larger numbers are no reading of any property we ask for.
inline constexpr double kMaxMagnitude = 1e9;

// Exactly kFieldCount plain numbers; a final "\n" or "\r\n" is allowed.
bool parsePacket(std::string_view datagram, Packet& out, std::string& error);

// The packet as the aircraft state; the composition does the rest.
void toState(const Packet& packet, bridge::AircraftState& out);

// The FlightGear protocol file for fields().
std::string protocolXml();

// The adapter on the network: one block per packet that arrives on
// 127.0.0.1:listenPort (every interface with everyInterface). nullptr with
// error filled when the port cannot be had.
std::unique_ptr<bridge::Source> openSource(long long listenPort, bool everyInterface, std::string& error);

}  // namespace flightgear
