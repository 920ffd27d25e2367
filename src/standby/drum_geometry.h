#pragma once
// The digit strip of the rolling counters on the standby airspeed indicator
// and altimeter, shared with the artwork generator so that every cell is
// painted where the counters look for it.

namespace drumgeo {

// 13 equal cells along t, cell k from k/13 to (k + 1)/13, cell 0 at the
// bottom of the picture. Cells 1 to 9 carry those digits; cells 10, 11 and
// 12 carry 0, 1 and 2 again so that a drum rolls from 9 on to 0 without a
// jump. Cell 0 is what a leading zero shows.
inline constexpr int kCells = 13;
inline constexpr float kCellStep = 0.07692308f;     // 1/13
inline constexpr float kTenCells = 0.7692308f;      // 10/13
inline constexpr float kElevenCells = 0.84615386f;  // 11/13

// The digit carried by cell k (cell 0 counts as 0).
inline constexpr int cellDigit(int k) { return k >= 10 ? k - 10 : k; }

// One counter window: where it lies on the instrument and which part of the
// strip it shows before the drum offset is taken off its t range.
struct Window {
  float x0, x1, y0, y1;
  float s0, s1;
  float t0, t1;
};

// Height on the instrument of one strip cell as a window shows it.
inline constexpr float cellHeightOnScreen(const Window& w) { return (w.y1 - w.y0) / ((w.t1 - w.t0) * kCells); }

}  // namespace drumgeo
