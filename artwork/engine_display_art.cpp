// The engine and warning display: the dial scales, readout boxes, flap
// symbol and message-area lines behind the live values, and the thrust-lever
// marker. The needles are drawn before the background and show wherever its
// mask stays white, so the dial faces are left open.
#include <cmath>
#include <string>

#include "art.h"
#include "ecam/ewd/ewd_geometry.h"

using namespace ewdgeo;

namespace {

constexpr double kDeg = M_PI / 180.0;

// Paint in the instrument's square: x right, y up, -1 to 1.
void square(cairo_t* cr, int w, int h) {
  cairo_translate(cr, w / 2.0, h / 2.0);
  cairo_scale(cr, w / 2.0, -h / 2.0);
}

// The direction a needle points at a given dial angle, in radians
// counter-clockwise from +x.
double direction(float dialAngle) { return (180.0 + dialAngle) * kDeg; }

// Centred text whose capitals are capHeight tall in the square's units.
void label(cairo_t* cr, double x, double y, const std::string& text, double capHeight, unsigned hex) {
  double dx = x, dy = y, unit = capHeight, zero = 0;
  cairo_user_to_device(cr, &dx, &dy);
  cairo_user_to_device_distance(cr, &zero, &unit);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  art::font(cr, 100);
  cairo_text_extents_t e;
  cairo_text_extents(cr, "H", &e);
  art::font(cr, 100 * std::fabs(unit) / e.height);
  art::rgb(cr, hex);
  art::centredText(cr, dx, dy, text);
  cairo_restore(cr);
}

void arc(cairo_t* cr, double cx, double cy, double r, double from, double to, double width, unsigned hex) {
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, from, to);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  art::rgb(cr, hex);
  cairo_stroke(cr);
}

void tick(cairo_t* cr, double cx, double cy, double dir, double inner, double outer, double width, unsigned hex) {
  cairo_new_path(cr);
  cairo_move_to(cr, cx + inner * std::cos(dir), cy + inner * std::sin(dir));
  cairo_line_to(cr, cx + outer * std::cos(dir), cy + outer * std::sin(dir));
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  art::rgb(cr, hex);
  cairo_stroke(cr);
}

// A readout box: its inside hides the needle behind the digits, its frame is
// the grey outline of the cockpit display.
void readoutBox(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_new_path(cr);
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 0.006);
  art::rgb(cr, art::kGrey);
  cairo_stroke(cr);
}

constexpr double kLine = 0.008;    // scale arcs and ticks
constexpr double kRedLine = 0.016;  // limit zones
constexpr double kMinorTick = 0.022;
constexpr double kMajorTick = 0.036;

void n1Dial(cairo_t* cr, double cx) {
  const double cy = kN1CentreY;
  const double start = direction(n1DialAngle(0));
  const double red = direction(n1DialAngle(kN1RedFrom));
  const double end = direction(n1DialAngle(kN1ScaleEnd));
  arc(cr, cx, cy, kArcRadius, red, start, kLine, art::kWhite);
  arc(cr, cx, cy, kArcRadius, end, red, kRedLine, art::kRed);
  for (int p = 20; p <= 90; p += 10)
    if (p != 50) tick(cr, cx, cy, direction(n1DialAngle(p)), kArcRadius - kMinorTick, kArcRadius, kLine, art::kWhite);
  for (int p : {50, 100}) {
    const double d = direction(n1DialAngle(p));
    tick(cr, cx, cy, d, kArcRadius - kMajorTick, kArcRadius, kLine, art::kWhite);
    const double r = kArcRadius - kMajorTick - 0.035;
    label(cr, cx + r * std::cos(d), cy + r * std::sin(d), p == 50 ? "5" : "10", 0.036, art::kWhite);
  }
  // Readout "%3d." with its tenth: cells from 0.12125 left of the centre to
  // 0.0912 right of it, along y 0.515 to 0.5825; room for "100.0".
  readoutBox(cr, cx - 0.142, 0.507, cx + 0.105, 0.592);
}

void egtDial(cairo_t* cr, double cx) {
  const double cy = kEgtCentreY;
  const double start = direction(egtDialAngle(kEgtMin));
  const double red = direction(egtDialAngle(kEgtRedFrom));
  const double end = direction(egtDialAngle(kEgtMax));
  arc(cr, cx, cy, kArcRadius, red, start, kLine, art::kWhite);
  arc(cr, cx, cy, kArcRadius, end, red, kRedLine, art::kRed);
  tick(cr, cx, cy, start, kArcRadius - kMajorTick, kArcRadius, kLine, art::kWhite);
  for (int c = 200; c <= 800; c += 200)
    tick(cr, cx, cy, direction(egtDialAngle(c)), kArcRadius - kMinorTick, kArcRadius, kLine, art::kWhite);
  // Readout "%3d" from 0.08125 left of the centre, y 0.16 to 0.2275; its
  // fourth cell, for 1000, ends 0.122 right of the centre.
  readoutBox(cr, cx - 0.098, 0.152, cx + 0.132, 0.236);
}

// The fixed wing section between the slat and flap symbols, and the marks
// just beyond each extended position (hidden by the covers while retracted).
struct Point {
  double x, y;
};
// Target outlines of the extended detents: the middle point is the tip.
constexpr Point kSlatTargets[][3] = {
    {{0.3429, 0.03624}, {0.30625, 0.04375}, {0.33949, 0.0609}},
    {{0.31865, -0.02821}, {0.28125, -0.03125}, {0.30848, -0.00541}},
    {{0.31033, -0.10653}, {0.275, -0.11875}, {0.29473, -0.0871}},
};
constexpr Point kFlapTargets[][3] = {
    {{0.68868, 0.03629}, {0.725, 0.04375}, {0.6897, 0.06125}},
    {{0.78185, -0.0207}, {0.81875, -0.01875}, {0.78893, 0.00323}},
    {{0.8115, -0.0987}, {0.85, -0.10625}, {0.82483, -0.07879}},
    {{0.83115, -0.18538}, {0.86875, -0.2}, {0.84819, -0.16858}},
};

void detentMark(cairo_t* cr, const Point (&t)[3]) {
  const double mx = (t[0].x + t[2].x) / 2, my = (t[0].y + t[2].y) / 2;
  const double dx = t[1].x - mx, dy = t[1].y - my, len = std::hypot(dx, dy);
  const double x = t[1].x + 0.016 * dx / len, y = t[1].y + 0.016 * dy / len;
  cairo_new_path(cr);
  cairo_arc(cr, x, y, 0.0055, 0, 2 * M_PI);
  art::rgb(cr, art::kWhite);
  cairo_fill(cr);
}

void flapSymbol(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, 0.4795, 0.0531);
  cairo_line_to(cr, 0.5470, 0.0531);
  cairo_line_to(cr, 0.5470, 0.0800);
  cairo_line_to(cr, 0.4900, 0.0905);
  cairo_line_to(cr, 0.4795, 0.0860);
  cairo_close_path(cr);
  art::rgb(cr, art::kWhite);
  cairo_fill(cr);
  for (const auto& t : kSlatTargets) detentMark(cr, t);
  for (const auto& t : kFlapTargets) detentMark(cr, t);
}

void messageLines(cairo_t* cr) {
  cairo_new_path(cr);
  cairo_move_to(cr, -0.94, kMemoLineY);
  cairo_line_to(cr, 0.94, kMemoLineY);
  cairo_move_to(cr, kMemoDividerX, kMemoLineY);
  cairo_line_to(cr, kMemoDividerX, -0.80);
  cairo_set_line_width(cr, 0.007);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  art::rgb(cr, art::kWhite);
  cairo_stroke(cr);
}

void background(cairo_t* cr, int w, int h) {
  square(cr, w, h);
  for (double x : {double(kEngine1X), double(kEngine2X)}) {
    n1Dial(cr, x);
    egtDial(cr, x);
  }
  flapSymbol(cr);
  messageLines(cr);
}

// A small cyan ring centred in its square.
void marker(cairo_t* cr, int w, int h) {
  cairo_new_path(cr);
  cairo_arc(cr, w / 2.0, h / 2.0, 0.34 * w, 0, 2 * M_PI);
  cairo_set_line_width(cr, 0.14 * w);
  art::rgb(cr, art::kCyan);
  cairo_stroke(cr);
}

}  // namespace

void addEngineDisplayArt(std::vector<ArtFile>& files) {
  files.push_back(art::colourOf("03310000.tex", kBackgroundSize, kBackgroundSize, background));
  files.push_back(art::maskOf("03310001.tex", kBackgroundSize, kBackgroundSize, background));
  files.push_back(art::colourOf("03310002.tex", kMarkerSize, kMarkerSize, marker));
  files.push_back(art::maskOf("03310003.tex", kMarkerSize, kMarkerSize, marker));
}
