#include "cli.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace cli {

std::optional<long long> parseInteger(const std::string& text, long long lo, long long hi) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return std::nullopt;
  return v;
}

std::optional<double> parseNumber(const std::string& text, double lo, double hi) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < lo || v > hi) return std::nullopt;
  return v;
}

bool applySet(const std::string& spec, FlightDataBlock& block, std::string& error) {
  const auto eq = spec.find('=');
  if (eq == std::string::npos) {
    error = "--set wants N=VALUE, got '" + spec + "'";
    return false;
  }
  const auto word = parseInteger(spec.substr(0, eq), 0, kFlightDataWords - 1);
  if (!word) {
    error = "--set: word number '" + spec.substr(0, eq) + "' is not 0 to 255";
    return false;
  }
  const std::string value = spec.substr(eq + 1);
  if (!value.empty() && value[0] == '#') {
    const std::string digits = value.substr(1);
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(digits.c_str(), &end, 0);
    if (digits.empty() || digits[0] == '-' || errno != 0 || *end != '\0' || v > 0xffffffffull) {
      error = "--set: '" + value + "' is not an unsigned 32-bit integer (#123 or #0x7b)";
      return false;
    }
    block.setU32(int(*word), std::uint32_t(v));
    return true;
  }
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(value.c_str(), &end);
  // strtof's ERANGE also flags denormals; huge values become infinity,
  // which is a legitimate thing to send.
  if (value.empty() || *end != '\0') {
    error = "--set: '" + value + "' is not a number (12.5, -3, nan, inf, or #N for an integer)";
    return false;
  }
  block.setF32(int(*word), v);
  return true;
}

bool readBlockFile(const std::string& path, FlightDataBlock& block, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open block file " + path + ": " + std::strerror(errno);
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() != kFlightDataBytes) {
    error = "block file " + path + " holds " + std::to_string(bytes.size()) + " bytes; a flight data block is exactly 1024";
    return false;
  }
  std::memcpy(block.bytes.data(), bytes.data(), kFlightDataBytes);
  return true;
}

bool parseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find('x');
  if (x == std::string::npos) return false;
  const auto w = parseInteger(text.substr(0, x), 1, 8192);
  const auto h = parseInteger(text.substr(x + 1), 1, 8192);
  if (!w || !h) return false;
  width = int(*w);
  height = int(*h);
  return true;
}

void setClockWords(FlightDataBlock& block, int hours, int minutes, double seconds) {
  block.setF32(2, float(hours));
  block.setF32(3, float(minutes));
  block.setF32(4, float(seconds));
}

bool resolveHost(const std::string& host, long long port, sockaddr_in& out) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* resolved = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &resolved) != 0 || !resolved) return false;
  std::memcpy(&out, resolved->ai_addr, sizeof out);
  freeaddrinfo(resolved);
  return true;
}

bool onThisMachine(const sockaddr_in& address) { return (ntohl(address.sin_addr.s_addr) >> 24) == 127; }

}  // namespace cli
