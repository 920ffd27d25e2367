#pragma once
#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>

#include "instruments/flight_data.h"

// Pieces of command-line handling shared by the tools.
namespace cli {

// "N=VALUE": a float ("12.5", "-3", "nan", "inf") or, after '#', an unsigned
// integer in decimal or 0x hex ("#1", "#0x2000"). Word N must be 0 to 255.
// Returns false and fills error for anything else.
bool applySet(const std::string& spec, FlightDataBlock& block, std::string& error);

// Reads a file of exactly 1024 bytes into the block.
bool readBlockFile(const std::string& path, FlightDataBlock& block, std::string& error);

// "WxH" with both sides 1 to 8192.
bool parseSize(const std::string& text, int& width, int& height);

// A whole number within [lo, hi].
std::optional<long long> parseInteger(const std::string& text, long long lo, long long hi);
// A finite number within [lo, hi].
std::optional<double> parseNumber(const std::string& text, double lo, double hi);

// The first IPv4 address of host, with port; false when it does not resolve.
bool resolveHost(const std::string& host, long long port, sockaddr_in& out);
// True for 127.0.0.0/8.
bool onThisMachine(const sockaddr_in& address);

// Words 2 to 4: hours, minutes and seconds of the given local time.
void setClockWords(FlightDataBlock& block, int hours, int minutes, double seconds);

}  // namespace cli
