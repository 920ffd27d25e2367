// The standby airspeed indicator: dial face, airspeed needle, the striped
// second pointer, and the digit strip of its Mach and speed counters.
#include <cmath>
#include <string>

#include "art.h"
#include "standby/airspeed_geometry.h"

using namespace airspeedgeo;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Paints in instrument units from here on: the rectangle x0..x1, y0..y1
// (y up) fills the pixel rectangle px, py, pw, ph.
void mapRect(cairo_t* cr, double px, double py, double pw, double ph, double x0, double x1, double y0, double y1) {
  cairo_translate(cr, px, py + ph);
  cairo_scale(cr, pw / (x1 - x0), -ph / (y1 - y0));
  cairo_translate(cr, -x0, -y0);
}

// Upright text centred on (x, y) in the y-up space of mapRect.
void label(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1, -1);
  art::centredText(cr, 0, 0, text);
  cairo_restore(cr);
}

void rectPath(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
}

// Grey panel, corner screws and the round bezel the dial sits in.
void panelAndBezel(cairo_t* cr) {
  art::rgb(cr, 0x3a3d40);
  cairo_paint(cr);
  for (double cx : {-0.87, 0.87})
    for (double cy : {-0.87, 0.87}) {
      art::rgb(cr, 0x6d7075);
      cairo_arc(cr, cx, cy, 0.038, 0, 2 * kPi);
      cairo_fill(cr);
      art::rgb(cr, 0x2a2c2f);
      cairo_set_line_width(cr, 0.01);
      cairo_move_to(cr, cx - 0.026, cy - 0.026);
      cairo_line_to(cr, cx + 0.026, cy + 0.026);
      cairo_stroke(cr);
    }
  cairo_pattern_t* rim = cairo_pattern_create_linear(-0.7, 0.7, 0.7, -0.7);
  cairo_pattern_add_color_stop_rgb(rim, 0, 0.38, 0.39, 0.41);
  cairo_pattern_add_color_stop_rgb(rim, 1, 0.10, 0.10, 0.11);
  cairo_set_source(cr, rim);
  cairo_arc(cr, 0, 0, 0.99, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  art::rgb(cr, 0x050505);
  cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  cairo_fill(cr);
}

void tick(cairo_t* cr, double angleDeg, double r0, double r1, double width) {
  const double c = std::cos(angleDeg * kDeg), s = std::sin(angleDeg * kDeg);
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, r0 * c, r0 * s);
  cairo_line_to(cr, r1 * c, r1 * s);
  cairo_stroke(cr);
}

// A counter window: a grey rim and a black opening just larger than where
// the drum cells are drawn.
void windowRim(cairo_t* cr, const drumgeo::Window& w, double grow) {
  rectPath(cr, w.x0 - grow, w.y0 - grow, w.x1 + grow, w.y1 + grow);
  cairo_fill(cr);
}

void paintFace(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -1, 1, -1, 1);
  panelAndBezel(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  art::rgb(cr, art::kWhite);

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
  // The stop at the top of the scale, where the needle rests below 60 kt.
  tick(cr, dialAngle(0.0f), outer - 0.05, outer, 0.02);

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
  // White pointer tapering to the tip; dark counterweight on the short end.
  art::rgb(cr, art::kWhite);
  cairo_move_to(cr, 0.0, 0.026);
  cairo_line_to(cr, 0.64, 0.015);
  cairo_line_to(cr, 0.785, 0.0);
  cairo_line_to(cr, 0.64, -0.015);
  cairo_line_to(cr, 0.0, -0.026);
  cairo_close_path(cr);
  cairo_fill(cr);
  art::rgb(cr, 0x2b2c2e);
  cairo_move_to(cr, 0.0, 0.024);
  cairo_line_to(cr, -0.24, 0.03);
  cairo_arc(cr, -0.29, 0.0, 0.05, kPi / 2, 3 * kPi / 2);
  cairo_line_to(cr, -0.24, -0.03);
  cairo_line_to(cr, 0.0, -0.024);
  cairo_close_path(cr);
  cairo_fill(cr);
  // Hub cap over the pivot.
  art::rgb(cr, 0x6d7075);
  cairo_arc(cr, 0, 0, 0.068, 0, 2 * kPi);
  cairo_fill(cr);
  art::rgb(cr, 0x161718);
  cairo_arc(cr, 0, 0, 0.052, 0, 2 * kPi);
  cairo_fill(cr);
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
