#include "scenario.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>

namespace scenario {
namespace {

constexpr double kLongestTime = 1e7;  // seconds; keeps sums and prints sane
constexpr int kBitSlots = 33;         // whole word, then bits 0 to 31

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isSpace(line[i])) ++i;
    if (i >= line.size() || line[i] == '#') break;
    const std::size_t start = i;
    while (i < line.size() && !isSpace(line[i])) ++i;
    out.push_back(line.substr(start, i - start));
  }
  return out;
}

// For messages: short, and nothing that garbles a terminal.
std::string quote(std::string_view text) {
  std::string out = "'";
  for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    out += (c >= 0x20 && c < 0x7f) ? char(c) : '?';
  }
  if (text.size() > 40) out += "...";
  return out + "'";
}

std::string fmt(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

bool number(std::string_view text, double& out) {
  if (text.empty() || text.size() > 64) return false;
  const std::string s(text);
  // strtod also takes "inf", "nan" and hex; times want plain decimals.
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(s.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(out);
}

bool wholeNumber(std::string_view text, long long lo, long long hi, long long& out) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  out = std::strtoll(std::string(text).c_str(), nullptr, 10);
  return out >= lo && out <= hi;
}

// Seconds, M:SS.s, or +seconds after the previous line's time.
bool parseTime(std::string_view text, double previous, double& out, std::string& why) {
  const bool relative = !text.empty() && text[0] == '+';
  if (relative) text.remove_prefix(1);
  double seconds = 0;
  const auto colon = text.find(':');
  if (colon != std::string_view::npos) {
    long long minutes = 0;
    double rest = 0;
    if (!wholeNumber(text.substr(0, colon), 0, 200000, minutes) || !number(text.substr(colon + 1), rest) ||
        rest < 0 || rest >= 60 || text.substr(colon + 1).find_first_of("+-eE") != std::string_view::npos) {
      why = "time " + quote(text) + " is not M:SS (minutes, then seconds below 60)";
      return false;
    }
    seconds = double(minutes) * 60 + rest;
  } else if (!number(text, seconds) || seconds < 0) {
    why = "a line starts with its time in seconds (12.5, 1:30 or +5), not " + quote(text);
    return false;
  }
  if (relative) seconds += previous;
  if (seconds > kLongestTime) {
    why = "time " + fmt(seconds) + " s is past the longest scenario (" + fmt(kLongestTime) + " s)";
    return false;
  }
  out = seconds;
  return true;
}

struct Assignment {
  int word = 0;
  int bit = -1;
  std::uint32_t bits = 0;
  bool isFloat = true;
  bool ramp = false;
};

bool parseAssignment(std::string_view text, Assignment& a, std::string& why) {
  const auto eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    why = quote(text) + " is not WORD=VALUE";
    return false;
  }
  std::string_view target = text.substr(0, eq);
  std::string_view value = text.substr(eq + 1);
  bool jump = false;
  if (target.back() == ':') {
    jump = true;
    target.remove_suffix(1);
  }
  const auto dot = target.find('.');
  long long word = 0, bit = -1;
  if (!wholeNumber(target.substr(0, dot), 0, kFlightDataWords - 1, word)) {
    why = "word " + quote(target.substr(0, dot)) + " is not 0 to 255";
    return false;
  }
  if (dot != std::string_view::npos) {
    if (!wholeNumber(target.substr(dot + 1), 0, 31, bit)) {
      why = "bit " + quote(target.substr(dot + 1)) + " of word " + std::to_string(word) + " is not 0 to 31";
      return false;
    }
    if (value != "0" && value != "1") {
      why = "bit " + std::to_string(bit) + " of word " + std::to_string(word) + " wants 0 or 1, not " + quote(value);
      return false;
    }
    a = {int(word), int(bit), value == "1" ? 1u : 0u, false, false};
    return true;
  }
  if (!value.empty() && value[0] == '#') {
    const std::string digits(value.substr(1));
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = digits.empty() || digits.size() > 20 ? 0 : std::strtoull(digits.c_str(), &end, 0);
    if (digits.empty() || digits.size() > 20 || !std::isxdigit(static_cast<unsigned char>(digits[0])) || errno != 0 ||
        *end != '\0' || v > 0xffffffffull) {
      why = quote(value) + " is not an unsigned 32-bit integer (#123 or #0x7b)";
      return false;
    }
    a = {int(word), -1, std::uint32_t(v), false, false};
    return true;
  }
  const std::string s(value);
  char* end = nullptr;
  const float v = s.empty() || s.size() > 64 ? 0.0f : std::strtof(s.c_str(), &end);
  if (s.empty() || s.size() > 64 || *end != '\0') {
    why = quote(value) + " is not a number (12.5, -3, or #N for an integer)";
    return false;
  }
  a = {int(word), -1, std::bit_cast<std::uint32_t>(v), true, !jump};
  return true;
}

std::string exeFolder() {
  std::array<char, 4096> buf{};
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  std::string path(buf.data(), std::size_t(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool regularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The key at or before t, or nullptr before the first.
const Key* keyAt(const Track& track, double t, const Key** next) {
  const auto it = std::upper_bound(track.keys.begin(), track.keys.end(), t,
                                   [](double time, const Key& k) { return time < k.time; });
  *next = it == track.keys.end() ? nullptr : &*it;
  return it == track.keys.begin() ? nullptr : &*(it - 1);
}

}  // namespace

bool parse(std::string_view text, const std::string& name, Scenario& out, std::string& error) {
  Scenario s;
  std::vector<int> index(std::size_t(kFlightDataWords) * kBitSlots, -1);
  double previous = 0;
  bool anyTime = false;
  int lineNo = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    ++lineNo;
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    const std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    const std::vector<std::string_view> toks = tokens(line);
    if (toks.empty()) continue;
    auto fail = [&](const std::string& why) {
      error = name + ":" + std::to_string(lineNo) + ": " + why;
      return false;
    };
    std::string why;
    double t = 0;
    if (!parseTime(toks[0], previous, t, why)) return fail(why);
    anyTime = true;
    previous = t;
    s.endTime = std::max(s.endTime, t);
    for (std::size_t i = 1; i < toks.size(); ++i) {
      Assignment a;
      if (!parseAssignment(toks[i], a, why)) return fail(why);
      // A word is either keyed whole or bit by bit; both would fight.
      const std::size_t base = std::size_t(a.word) * kBitSlots;
      if (a.bit < 0) {
        for (int b = 0; b < 32; ++b)
          if (index[base + 1 + std::size_t(b)] >= 0)
            return fail("word " + std::to_string(a.word) + " is set bit by bit on line " +
                        std::to_string(s.tracks[std::size_t(index[base + 1 + std::size_t(b)])].keys.front().line) +
                        "; set it whole or bit by bit, not both");
      } else if (index[base] >= 0) {
        return fail("word " + std::to_string(a.word) + " is set whole on line " +
                    std::to_string(s.tracks[std::size_t(index[base])].keys.front().line) +
                    "; set it whole or bit by bit, not both");
      }
      int& slot = index[base + std::size_t(a.bit + 1)];
      if (slot < 0) {
        slot = int(s.tracks.size());
        s.tracks.push_back(Track{a.word, a.bit, {}});
      }
      s.tracks[std::size_t(slot)].keys.push_back(Key{t, a.bits, a.isFloat, a.ramp, lineNo});
    }
  }
  if (!anyTime) {
    error = name + ": no lines with a time; a line reads TIME WORD=VALUE ...";
    return false;
  }
  // Lines may come in any order (a clock section after the flight, say);
  // of two keys at one time the later line wins.
  for (Track& tr : s.tracks) {
    std::vector<Key>& keys = tr.keys;
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.time < b.time; });
    std::vector<Key> kept;
    for (const Key& k : keys) {
      if (!kept.empty() && kept.back().time == k.time) kept.pop_back();
      kept.push_back(k);
    }
    for (std::size_t i = 1; i < kept.size(); ++i)
      if (kept[i].ramp && !kept[i - 1].isFloat) {
        error = name + ":" + std::to_string(kept[i].line) + ": word " + std::to_string(tr.word) +
                " cannot ramp from the integer of line " + std::to_string(kept[i - 1].line) +
                "; jump with := or give both as floats";
        return false;
      }
    keys = std::move(kept);
  }
  for (const Track& tr : s.tracks)
    for (const Key& k : tr.keys) s.keyTimes.push_back(k.time);
  std::sort(s.keyTimes.begin(), s.keyTimes.end());
  s.keyTimes.erase(std::unique(s.keyTimes.begin(), s.keyTimes.end()), s.keyTimes.end());
  out = std::move(s);
  return true;
}

bool load(const std::string& path, Scenario& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open scenario " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parse(text.str(), path, out, error);
}

bool parseTime(std::string_view text, double& seconds, std::string& error) {
  return parseTime(text, 0.0, seconds, error);
}

std::string locate(const std::string& nameOrPath, std::string& error) {
  if (regularFile(nameOrPath)) return nameOrPath;
  std::vector<std::string> tried;
  if (!nameOrPath.empty() && nameOrPath.find('/') == std::string::npos) {
    const std::string file = nameOrPath + ".scenario";
    const std::string exe = exeFolder();
    // Installed: bin/ beside share/; built: tools/ beside scenarios/.
    for (const std::string& dir : {exe + "/../share/a320-display/scenarios", exe + "/../scenarios"}) {
      if (exe.empty()) break;
      tried.push_back(dir + "/" + file);
      if (regularFile(tried.back())) return tried.back();
    }
  }
  error = "no scenario " + quote(nameOrPath) + ": not a file";
  for (const std::string& t : tried) error += ", not " + t;
  return {};
}

void Scenario::sample(double t, FlightDataBlock& out) const {
  out = FlightDataBlock{};
  for (const Track& track : tracks) {
    const Key* next = nullptr;
    const Key* k = keyAt(track, t, &next);
    if (!k) continue;
    if (track.bit >= 0) {
      const std::uint32_t mask = 1u << track.bit;
      out.setU32(track.word, k->bits ? out.u32(track.word) | mask : out.u32(track.word) & ~mask);
      continue;
    }
    if (next && next->ramp && k->isFloat) {
      const double a = std::bit_cast<float>(k->bits), b = std::bit_cast<float>(next->bits);
      const double f = (t - k->time) / (next->time - k->time);
      out.setF32(track.word, float(a + (b - a) * f));
    } else {
      out.setU32(track.word, k->bits);
    }
  }
}

double Scenario::nextKeyTime(double t) const {
  const auto it = std::upper_bound(keyTimes.begin(), keyTimes.end(), t);
  return it == keyTimes.end() ? endTime : *it;
}

std::string formatAssignment(int word, std::uint32_t bits) {
  char buf[48];
  const float v = std::bit_cast<float>(bits);
  const std::uint32_t exponent = (bits >> 23) & 0xff;
  // Bit words look like tiny or huge floats; they read better as integers.
  if ((bits & 0x7fffffffu) == 0 ||
      (exponent != 0 && exponent != 0xff && std::fabs(v) >= 1e-12f && std::fabs(v) < 1e15f))
    std::snprintf(buf, sizeof buf, "%d:=%.9g", word, double(v));
  else
    std::snprintf(buf, sizeof buf, "%d=#0x%08x", word, unsigned(bits));
  return buf;
}

Recorder::Recorder(std::ostream& out) : out_(out) {
  out_ << "# Recorded by a320-feed --record: each line is a datagram's arrival time in\n"
          "# seconds and the words that changed since the one before.\n";
}

void Recorder::add(double seconds, const FlightDataBlock& block) {
  // Strictly increasing times at the microseconds written, so that no two
  // datagrams merge on replay.
  double t = std::round(std::max(seconds, 0.0) * 1e6) / 1e6;
  if (lastTime_ >= 0 && t <= lastTime_) t = lastTime_ + 1e-6;
  std::vector<std::string> changes;
  for (int w = 0; w < kFlightDataWords; ++w)
    if (blocks_ == 0 ? block.u32(w) != 0 : block.u32(w) != previous_.u32(w))
      changes.push_back(formatAssignment(w, block.u32(w)));
  ++blocks_;
  previous_ = block;
  if (changes.empty() && blocks_ > 1) return;  // a repeat sends nothing new
  lastTime_ = t;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%.6f", t);
  std::size_t i = 0;
  do {
    out_ << stamp;
    for (std::size_t n = 0; n < 8 && i < changes.size(); ++n, ++i) out_ << ' ' << changes[i];
    out_ << '\n';
  } while (i < changes.size());
}

void Recorder::finish(double seconds) {
  const double t = std::round(std::max(seconds, 0.0) * 1e6) / 1e6;
  if (blocks_ == 0 || t <= lastTime_) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%.6f", t);
  out_ << stamp << "  # end\n";
  lastTime_ = t;
}

}  // namespace scenario
