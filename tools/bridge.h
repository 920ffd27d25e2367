#pragma once
#include <array>
#include <string>
#include <string_view>

#include "instruments/flight_data.h"

// FlightGear to flight data blocks. FlightGear's generic protocol, in its
// text form, sends one line per record: every chunk of the protocol file
// printed with its own printf format, joined by the var separator (","),
// ended by the line separator ("\n"); over UDP each record is one datagram.
// The protocol file we ship is protocolXml(), so the order is ours.
namespace bridge {

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

struct Options {
  float flapsFullDegrees = 40.0f;  // flap-pos-norm 1.0, in the FLAPS settings' unit
};
// Every word the instruments read, from one packet; the others stay 0.
void composeBlock(const Packet& packet, const Options& options, FlightDataBlock& out);

// The FlightGear protocol file for fields().
std::string protocolXml();

}  // namespace bridge
