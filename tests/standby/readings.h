#pragma once
// What a pilot reads off the standby instruments, taken from their pixels:
// the horizon's tilt and distance from the aircraft symbol, the heading
// under the RMI's lubber line and where its needles point, the airspeed and
// altitude on needles and counters. Frames come from dialprobe's Bench.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "standby/airspeed_geometry.h"
#include "standby/altimeter_geometry.h"
#include "standby/attitude_geometry.h"
#include "standby/dial_probe.h"
#include "standby/rmi_geometry.h"

namespace readings {

using dialprobe::Frame;
using dialprobe::kDeg;
using dialprobe::Rgb;

// ---- standby attitude

inline bool sky(Rgb c) { return c.b > c.r + 60; }
inline bool ground(Rgb c) { return c.r > c.b + 40 && c.g > c.b; }

// The highest y in column x, scanning down from top, that shows ground
// below sky; ladder marks and labels in between are skipped.
inline std::optional<double> groundTop(const Frame& p, double x, double top, double bottom) {
  const double step = 1.0 / p.size;
  bool seenSky = false;
  for (double y = top; y > bottom; y -= step) {
    const Rgb c = p.at(x, y);
    if (sky(c)) seenSky = true;
    if (seenSky && ground(c)) return y;
  }
  return std::nullopt;
}

// The horizon as seen through the dial: its tilt (positive when its right
// end is higher) and how far below the dial's centre it passes, measured
// square to it. Read in two columns either side of the aircraft symbol.
struct Horizon {
  double tiltDegrees;
  double belowCentre;
};
inline std::optional<Horizon> horizon(const Frame& p) {
  // Beside the symbol's wings, from the bank ring's inside edge down.
  constexpr double x = 0.3;
  const double reach = std::sqrt(attitudegeo::kRingInner * attitudegeo::kRingInner - x * x) - 0.01;
  const auto left = groundTop(p, -x, reach, -reach), right = groundTop(p, x, reach, -reach);
  if (!left || !right) return std::nullopt;
  const double tilt = std::atan2(*right - *left, 2 * x);
  return Horizon{tilt / kDeg, -(*left + *right) / 2 * std::cos(tilt)};
}

// ---- RMI

// The heading under the lubber line: the card picture turned until it
// matches what the window shows above the pivot, away from the needles
// (given as the screen angles of their axes).
inline double rmiHeading(const Frame& f, const std::vector<double>& needleAxes) {
  static const dialprobe::Strip card(std::string(A320_TEST_DATA_DIR) + "/01210000.tex");
  struct Sample {
    double x, y;
    Rgb seen;
  };
  std::vector<Sample> samples;
  for (double r = 0.3; r < rmigeo::kWindowRadius - 0.02; r += 0.012)
    for (double a = 35; a <= 145; a += 0.8) {
      if (std::abs(a - 90) < 8 && r > 0.62) continue;  // the lubber mark
      const double x = r * std::cos(a * kDeg), y = r * std::sin(a * kDeg);
      bool onNeedle = false;
      for (double axis : needleAxes)
        onNeedle = onNeedle || std::abs(-std::sin(axis * kDeg) * x + std::cos(axis * kDeg) * y) < 0.17;
      if (!onNeedle) samples.push_back({x, y, f.at(x, y)});
    }
  auto error = [&](double heading) {
    const double c = std::cos(-heading * kDeg), s = std::sin(-heading * kDeg);
    double sum = 0;
    for (const Sample& p : samples) {
      const double cx = c * p.x - s * p.y, cy = s * p.x + c * p.y;
      const Rgb want = card.texel((cx / rmigeo::kCardHalf + 1) / 2, (cy / rmigeo::kCardHalf + 1) / 2);
      sum += std::abs(want.r - p.seen.r) + std::abs(want.g - p.seen.g) + std::abs(want.b - p.seen.b);
    }
    return sum;
  };
  double best = 0, bestError = 1e300;
  for (double h = 0; h < 360; h += 1.0)
    if (const double e = error(h); e < bestError) best = h, bestError = e;
  for (double h = best - 1; h <= best + 1; h += 0.05)
    if (const double e = error(h); e < bestError) best = h, bestError = e;
  return std::fmod(best + 360, 360);
}

enum class RmiNeedle { One, Two };

// Where a needle's head points, as a screen angle: `with` shows the needle,
// `without` the same instrument with that needle turned elsewhere. Needle
// points are those that differ; the head is the end where they reach out to
// the head's shoulders (needle 2: beside its tip), the tail the end without.
// NAN unless exactly one end of the axis at `axis` degrees carries a head.
inline double rmiHeadAngle(const Frame& with, const Frame& without, double axis, RmiNeedle needle) {
  const bool one = needle == RmiNeedle::One;
  // Needle 1 is solid: wider than its shaft behind the head. Needle 2 is an
  // outline: its head's edges lie wider than its two bars.
  const double along = one ? 0.62 : 0.60, across0 = one ? 0.025 : 0.052, across1 = one ? 0.035 : 0.068;
  auto headAt = [&](double angle) {
    const double c = std::cos(angle * kDeg), s = std::sin(angle * kDeg);
    int changed = 0, n = 0;
    for (double side : {-1.0, 1.0})
      for (double a = along - 0.02; a <= along + 0.02; a += 0.004)
        for (double b = across0; b <= across1; b += 0.002) {
          const double x = a * c - side * b * s, y = a * s + side * b * c;
          const Rgb p = with.at(x, y), q = without.at(x, y);
          changed += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 90;
          ++n;
        }
    return double(changed) / n;
  };
  const double forward = headAt(axis), backward = headAt(axis + 180);
  if (forward > 0.25 && backward < 0.05) return std::fmod(axis + 720, 360);
  if (backward > 0.25 && forward < 0.05) return std::fmod(axis + 180 + 720, 360);
  return NAN;
}

// ---- needles over a dial

// The screen angle of the long end of a needle: its points in `with` that
// `without` (the needle elsewhere) lacks, away from the counter windows.
inline double needleAngle(const Frame& with, const Frame& without, double r0, double r1,
                          const std::vector<drumgeo::Window>& skip) {
  return dialprobe::meanAngle(0, 180, r0, r1, 40, [&](double x, double y) {
    for (const auto& w : skip)
      if (x > w.x0 - 0.03 && x < w.x1 + 0.03 && y > w.y0 - 0.03 && y < w.y1 + 0.03) return false;
    const Rgb a = with.at(x, y), b = without.at(x, y);
    return dialprobe::brightness(a) > 180 && dialprobe::brightness(a) - dialprobe::brightness(b) > 80;
  });
}

// Knots at a needle angle, off the painted airspeed scale.
inline double knotsAt(double angle) {
  double best = 0, bestError = 1e9;
  for (double v = 0; v <= airspeedgeo::kScaleTop; v += 0.01)
    if (const double e = std::abs(dialprobe::angleBetween(airspeedgeo::dialAngle(float(v)), angle)); e < bestError)
      best = v, bestError = e;
  return best;
}

// Feet within the thousand at an altimeter needle angle (0 to 1000).
inline double feetAt(double angle) {
  return std::fmod((altimetergeo::kZeroAngle - angle) / altimetergeo::kDegreesPerFoot + 36000, 1000.0);
}

// ---- drum counters

// The strip position a window shows: the drum cell (as dialprobe::cellOf
// counts, from `from` up) that fits the pixels best, to a fiftieth of a cell.
inline double drumCell(const Frame& f, const dialprobe::Strip& strip, const drumgeo::Window& w,
                       const std::vector<dialprobe::Occluder>& occluders, double from = -0.5) {
  double best = from, bestError = 1e300;
  auto tryCell = [&](double cell) {
    const double e = dialprobe::windowError(f, strip, w, dialprobe::offsetFor(cell), false, occluders);
    if (e < bestError) best = cell, bestError = e;
  };
  for (double cell = from; cell < 12.5; cell += 0.1) tryCell(cell);
  for (double cell = std::max(from, best - 0.1); cell <= best + 0.1; cell += 0.02) tryCell(cell);
  return best;
}
// The digit a whole-digit drum shows.
inline int digitOf(double cell) { return drumgeo::cellDigit(int(std::lround(cell)) % 13); }
// The value a rolling lowest drum shows, from just below 0 to 9.9: its
// cells 0 to 2 look like 10 to 12, so a drum standing at 0 may fit cell 10
// or a hair below it; that reads as 0, not as 10. (Readings near a carry
// are off by one step of the digit above; the tests read away from them.)
inline double rollingValue(const Frame& f, const dialprobe::Strip& strip, const drumgeo::Window& w,
                           const std::vector<dialprobe::Occluder>& occluders) {
  const double v = std::fmod(drumCell(f, strip, w, occluders, 0.0), 10.0);
  return v > 9.9 ? v - 10 : v;
}

// The standby airspeed's lower counter, in knots.
inline double airspeedCounter(const Frame& f, const std::vector<dialprobe::Occluder>& occluders = {}) {
  static const dialprobe::Strip strip(std::string(A320_TEST_DATA_DIR) + "/01012005.tex");
  using namespace airspeedgeo;
  return 100 * digitOf(drumCell(f, strip, kHundreds, occluders)) + 10 * digitOf(drumCell(f, strip, kTens, occluders)) +
         rollingValue(f, strip, kUnits, occluders);
}

// The standby altimeter's counter, in feet: negative when the NEG flag
// shows in the ten-thousands window.
struct AltitudeReading {
  bool negFlag;
  double feet;
};
inline AltitudeReading altitudeCounter(const Frame& f, const std::vector<dialprobe::Occluder>& occluders = {}) {
  static const dialprobe::Strip strip(std::string(A320_TEST_DATA_DIR) + "/01031003.tex");
  using namespace altimetergeo;
  const double first = drumCell(f, strip, kTenThousands, occluders);
  const bool neg = dialprobe::windowError(f, strip, kNegFlag, 0.0f, false, occluders) <
                   0.5 * dialprobe::windowError(f, strip, kTenThousands, dialprobe::offsetFor(first), false, occluders);
  const double magnitude = (neg ? 0 : 10000 * digitOf(first)) +
                           1000 * digitOf(drumCell(f, strip, kThousands, occluders)) +
                           100 * digitOf(drumCell(f, strip, kHundreds, occluders)) +
                           10 * rollingValue(f, strip, kTensOfFeet, occluders);
  return {neg, neg ? -magnitude : magnitude};
}

}  // namespace readings
