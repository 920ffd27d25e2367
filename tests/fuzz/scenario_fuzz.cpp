// Scenario files. A parsed scenario samples without NaN or infinity in any
// word the file only gives finite floats, and what a recording of its
// blocks writes replays as the same blocks.
#include <bit>
#include <cmath>
#include <sstream>

#include "fuzz_support.h"
#include "scenario.h"

namespace {

// Words whose every key is a finite float, so no sample may be otherwise.
std::vector<int> finiteWords(const scenario::Scenario& s) {
  std::vector<int> words;
  for (const scenario::Track& t : s.tracks) {
    bool finite = t.bit < 0;
    for (const scenario::Key& k : t.keys) finite = finite && k.isFloat && std::isfinite(std::bit_cast<float>(k.bits));
    if (finite) words.push_back(t.word);
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  scenario::Scenario s;
  std::string error;
  if (!scenario::parse(text, "fuzz", s, error)) {
    FUZZ_CHECK(error.rfind("fuzz", 0) == 0, "an error that does not name the file: %s", error.c_str());
    return 0;
  }
  FUZZ_CHECK(std::isfinite(s.endTime) && s.endTime >= 0, "end time %g", s.endTime);
  FUZZ_CHECK(std::is_sorted(s.keyTimes.begin(), s.keyTimes.end()), "key times out of order");

  // At every key, between keys, before the first and after the last.
  std::vector<double> times = {0.0, s.endTime + 1.0};
  for (std::size_t i = 0; i < s.keyTimes.size() && i < 64; ++i) {
    times.push_back(s.keyTimes[i]);
    if (i + 1 < s.keyTimes.size()) times.push_back((s.keyTimes[i] + s.keyTimes[i + 1]) / 2);
  }
  const std::vector<int> finite = finiteWords(s);
  std::ostringstream recording;
  scenario::Recorder recorder(recording);
  std::vector<FlightDataBlock> blocks;
  for (std::size_t i = 0; i < times.size(); ++i) {
    FlightDataBlock b;
    s.sample(times[i], b);
    for (int w : finite)
      FUZZ_CHECK(std::isfinite(b.f32(w)), "word %d reads %g at %g s though every key of it is finite", w,
                 double(b.f32(w)), times[i]);
    recorder.add(double(i), b);
    blocks.push_back(b);
  }
  recorder.finish(double(times.size()));

  scenario::Scenario replay;
  FUZZ_CHECK(scenario::parse(recording.str(), "recording", replay, error), "a recording does not parse: %s",
             error.c_str());
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    FlightDataBlock b;
    replay.sample(double(i), b);
    for (int w = 0; w < kFlightDataWords; ++w)
      FUZZ_CHECK(b.u32(w) == blocks[i].u32(w), "block %zu word %d recorded as %08x, replayed as %08x", i, w,
                 unsigned(blocks[i].u32(w)), unsigned(b.u32(w)));
  }
  return 0;
}
