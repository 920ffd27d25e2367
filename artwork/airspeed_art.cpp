// The standby airspeed indicator: dial face, airspeed needle, the striped
// second pointer, and the digit strip of its Mach and speed counters.
#include <cmath>
#include <string>

#include "art.h"
#include "standby_art.h"
#include "standby/airspeed_geometry.h"

using namespace airspeedgeo;
using art::kDeg, art::kPi, art::label, art::mapRect, art::rectPath, art::tick, art::windowRim;

namespace {

void paintFace(cairo_t* cr, int w, int h) {
  art::dialFace(cr, w, h);

  // Scale marks: every 5 kt up to 250, every 10 kt above; longer marks
  // every 10 kt and at the numbered speeds.
  const double outer = 0.925;
  auto numbered = [](int v) {
    return (v <= 160 && v % 20 == 0) || v == 200 || (v >= 250 && v % 50 == 0);
  };
  for (int v = int(kScaleBottom); v <= int(kScaleTop); v += 5) {
    if (v > 250 && v % 10 != 0) continue;
    const double a = dialAngle(float(v));
    if (numbered(v))
      tick(cr, a, outer - 0.16, outer, 0.016);
    else if (v % 10 == 0 && v <= 250)
      tick(cr, a, outer - 0.11, outer, 0.011);
    else
      tick(cr, a, outer - 0.07, outer, 0.008);
  }
  // The pin the needle rests against below the scale.
  const double stop = dialAngle(0.0f) * kDeg;
  art::rgb(cr, 0x6d7075);
  cairo_arc(cr, 0.885 * std::cos(stop), 0.885 * std::sin(stop), 0.022, 0, 2 * kPi);
  cairo_fill(cr);
  art::rgb(cr, art::kWhite);

  art::font(cr, 0.125);
  for (int v = int(kScaleBottom); v <= int(kScaleTop); v += 10) {
    if (!numbered(v)) continue;
    const double a = dialAngle(float(v)) * kDeg;
    const double r = v >= 100 ? 0.62 : 0.645;
    label(cr, r * std::cos(a), r * std::sin(a), std::to_string(v));
  }

  // Counter windows: a rim around each opening, the openings over them.
  art::rgb(cr, 0x5b5e62);
  for (const auto& win : {kMachSecond, kMachFirst, kUnits, kTens, kHundreds}) windowRim(cr, win, 0.022);
  art::rgb(cr, 0x000000);
  for (const auto& win : {kMachSecond, kMachFirst, kUnits, kTens, kHundreds}) windowRim(cr, win, 0.008);

  art::rgb(cr, art::kWhite);
  // Decimal point of the Mach number, left of its first digit.
  cairo_arc(cr, kMachFirst.x0 - 0.048, kMachFirst.y0 + 0.025, 0.016, 0, 2 * kPi);
  cairo_fill(cr);
  art::font(cr, 0.05);
  label(cr, 0.0, 0.118, "MACH");
  label(cr, 0.0, -0.118, "KNOTS");
}

void needleShape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, kPointerLeft, kPointerRight, -kPointerHalfHeight, kPointerHalfHeight);
  // White pointer tapering to the tip; a short dark counterweight that
  // stays clear of the counters.
  art::taperedNeedle(cr, 0.026, 0.64, 0.015, 0.785);
  art::rgb(cr, 0x2b2c2e);
  cairo_move_to(cr, 0.0, 0.024);
  const double end = kCounterweightReach - 0.03;
  cairo_line_to(cr, -end, 0.03);
  cairo_arc(cr, -end, 0.0, 0.03, kPi / 2, 3 * kPi / 2);
  cairo_line_to(cr, -end, -0.03);
  cairo_line_to(cr, 0.0, -0.024);
  cairo_close_path(cr);
  cairo_fill(cr);
  art::hub(cr, 0.068, 0.052, 0x161718);
}

// The second pointer is a slim red-and-white striped bar, told apart from
// the white needle at a glance.
void secondPointerShape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, kPointerLeft, kPointerRight, -kPointerHalfHeight, kPointerHalfHeight);
  auto outline = [&] {
    cairo_move_to(cr, 0.06, 0.017);
    cairo_line_to(cr, 0.74, 0.017);
    cairo_line_to(cr, 0.79, 0.0);
    cairo_line_to(cr, 0.74, -0.017);
    cairo_line_to(cr, 0.06, -0.017);
    cairo_close_path(cr);
  };
  art::rgb(cr, art::kWhite);
  outline();
  cairo_fill(cr);
  cairo_save(cr);
  outline();
  cairo_clip(cr);
  art::rgb(cr, art::kRed);
  for (double x = 0.06; x < 0.8; x += 0.08) {
    cairo_move_to(cr, x, -0.02);
    cairo_line_to(cr, x + 0.04, -0.02);
    cairo_line_to(cr, x + 0.07, 0.02);
    cairo_line_to(cr, x + 0.03, 0.02);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  art::rgb(cr, 0x2b2c2e);
  cairo_move_to(cr, 0.0, 0.012);
  cairo_line_to(cr, 0.07, 0.012);
  cairo_line_to(cr, 0.07, -0.012);
  cairo_line_to(cr, 0.0, -0.012);
  cairo_close_path(cr);
  cairo_fill(cr);
}

// One digit cell of a strip column, painted as the window that reads the
// column shows it, so that the glyph keeps its shape on the instrument.
void drumCell(cairo_t* cr, int w, int h, const drumgeo::Window& win, int cell, const std::string& text) {
  cairo_save(cr);
  const double cellPx = double(h) / drumgeo::kCells;
  const double cellH = drumgeo::cellHeightOnScreen(win);
  const double x0 = win.s0 * w, x1 = win.s1 * w;
  const double top = h - (cell + 1) * cellPx;
  rectPath(cr, x0, top, x1, top + cellPx);
  cairo_clip(cr);
  mapRect(cr, x0, top, x1 - x0, cellPx, win.x0, win.x1, -cellH / 2, cellH / 2);
  art::rgb(cr, art::kWhite);
  art::font(cr, 0.165);
  label(cr, (win.x0 + win.x1) / 2, 0.0, text);
  cairo_restore(cr);
}

void paintDrum(cairo_t* cr, int w, int h) {
  art::rgb(cr, 0x0c0c0c);
  cairo_paint(cr);
  for (int k = 0; k < drumgeo::kCells; ++k) {
    const std::string digit = std::to_string(drumgeo::cellDigit(k));
    // A leading zero of the speed counter shows as a blank drum.
    if (k != 0) drumCell(cr, w, h, kTens, k, digit);
    drumCell(cr, w, h, kUnits, k, digit);
  }
}

}  // namespace

void addAirspeedArt(std::vector<ArtFile>& files) {
  files.push_back({"01012000.tex", kFaceSize, kFaceSize, paintFace});
  files.push_back(art::colourOf("01012001.tex", kPointerWidth, kPointerHeight, needleShape));
  files.push_back(art::maskOf("01012002.tex", kPointerWidth, kPointerHeight, needleShape));
  files.push_back(art::colourOf("01012003.tex", kPointerWidth, kPointerHeight, secondPointerShape));
  files.push_back(art::maskOf("01012004.tex", kPointerWidth, kPointerHeight, secondPointerShape));
  files.push_back({"01012005.tex", kDrumWidth, kDrumHeight, paintDrum});
}
