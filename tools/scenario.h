#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "instruments/flight_data.h"

// Scenarios: flight data as a text file of time-stamped word values.
//
//   # a comment (a '#' that starts a token)
//   0      25=0  29=1500  221=#0x2002  17.1=1
//   30     25=140                      # ramps from 0 to 140 over 30 s
//   1:10   25:=0  40=#0x07000000       # ':=' jumps; '#N' integers jump
//   +5                                 # 5 s later; a bare time marks the end
//
// Each line is a time (seconds, M:SS.s, or +seconds after the line before;
// lines may come in any order, the later of two at one time wins)
// and any number of assignments. WORD=FLOAT ramps linearly from the word's
// previous key; WORD:=FLOAT and WORD=#N (decimal or 0x hex) hold the
// previous value and jump at the time; WORD.BIT=0|1 sets one bit. A word
// reads 0 before its first key and holds its last value after it.
namespace scenario {

struct Key {
  double time = 0;
  std::uint32_t bits = 0;
  bool isFloat = true;
  bool ramp = false;  // linear from the previous key
  int line = 0;
};

struct Track {
  int word = 0;
  int bit = -1;  // -1: the whole word
  std::vector<Key> keys;
};

struct Scenario {
  std::vector<Track> tracks;
  std::vector<double> keyTimes;  // ascending, distinct
  double endTime = 0;

  // The block at time t (seconds), starting from all zero.
  void sample(double t, FlightDataBlock& out) const;
  // The first key time after t; endTime when there is none.
  double nextKeyTime(double t) const;
};

// Errors read "NAME:LINE: what"; out is only filled on success.
bool parse(std::string_view text, const std::string& name, Scenario& out, std::string& error);
bool load(const std::string& path, Scenario& out, std::string& error);

// A time as a line starts with it: seconds or M:SS.s.
bool parseTime(std::string_view text, double& seconds, std::string& error);

// Where a built-in scenario name ("demo") or a file name leads; empty with
// an error when neither exists.
std::string locate(const std::string& nameOrPath, std::string& error);

// One assignment as a recording writes it: exact bits back on replay.
std::string formatAssignment(int word, std::uint32_t bits);

// Writes arriving blocks as steps at their arrival times, only the words
// that changed, so that a replay sends the same blocks.
class Recorder {
 public:
  explicit Recorder(std::ostream& out);
  void add(double seconds, const FlightDataBlock& block);
  // The time of the last datagram, so that a replay lasts as long.
  void finish(double seconds);
  long long blocks() const { return blocks_; }

 private:
  std::ostream& out_;
  FlightDataBlock previous_{};
  double lastTime_ = -1;
  long long blocks_ = 0;
};

}  // namespace scenario
