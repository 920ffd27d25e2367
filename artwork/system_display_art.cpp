// The lower ECAM screen: one background per system page with its fixed
// drawing and the permanent data area, and the symbols the pages move over
// them. Everything is painted in the instrument's own coordinates (-1..1,
// y up) through the quad the picture is drawn on, so values, needles and
// symbols line up with the lines around them whatever the picture's size
// or mirroring.
#include <cmath>
#include <string>

#include "art.h"
#include "ecam/draw/font_geometry.h"
#include "ecam/sd/sd_geometry.h"

using namespace sdgeo;

namespace {

constexpr Quad kScreen{-1, -1, 1, 1};

constexpr double kLine = 0.0065;   // outlines and scales
constexpr double kFlow = 0.0085;   // flow lines
constexpr double kLabelSize = 0.056;
constexpr double kSmallSize = 0.046;
constexpr double kTitleSize = 0.072;

constexpr double kPi = 3.14159265358979323846;
double rad(double deg) { return deg * kPi / 180.0; }

// Sets the transform from instrument coordinates to the picture's pixels.
void frame(cairo_t* cr, int w, int h, Quad q) {
  const double sx = w / double(q.x1 - q.x0), sy = -h / double(q.y1 - q.y0);
  cairo_matrix_t m;
  cairo_matrix_init(&m, sx, 0, 0, sy, -q.x0 * sx, h - q.y0 * sy);
  cairo_set_matrix(cr, &m);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void stroke(cairo_t* cr, unsigned colour, double width = kLine) {
  art::rgb(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void fill(cairo_t* cr, unsigned colour) {
  art::rgb(cr, colour);
  cairo_fill(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, unsigned colour, double width = kLine) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  stroke(cr, colour, width);
}

void rect(cairo_t* cr, double x0, double y0, double x1, double y1, unsigned colour, double width = kLine) {
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  stroke(cr, colour, width);
}

void triangle(cairo_t* cr, double x0, double y0, double x1, double y1, double x2, double y2) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_close_path(cr);
}

// Arc from a0 to a1 degrees, counter-clockwise on screen.
void arc(cairo_t* cr, Point c, double r, double a0, double a1, unsigned colour, double width = kLine) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, r, rad(a0), rad(a1));
  stroke(cr, colour, width);
}

void tick(cairo_t* cr, Point c, double r0, double r1, double deg, unsigned colour, double width = kLine) {
  const double dx = std::cos(rad(deg)), dy = std::sin(rad(deg));
  line(cr, c.x + r0 * dx, c.y + r0 * dy, c.x + r1 * dx, c.y + r1 * dy, colour, width);
}

// Text with its capitals centred on cy; align 0 left, 0.5 centre, 1 right.
void text(cairo_t* cr, double x, double cy, const std::string& s, double size, unsigned colour,
          double align = 0, bool bold = true) {
  cairo_save(cr);
  cairo_translate(cr, x, cy);
  cairo_scale(cr, 1, -1);
  art::font(cr, size, bold);
  cairo_text_extents_t cap;
  cairo_text_extents(cr, "H", &cap);
  art::rgb(cr, colour);
  art::alignedText(cr, 0, -cap.y_bearing / 2, s, align);
  cairo_restore(cr);
}

double textWidth(cairo_t* cr, const std::string& s, double size) {
  cairo_save(cr);
  cairo_scale(cr, 1, -1);
  art::font(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, s.c_str(), &e);
  cairo_restore(cr);
  return e.x_advance;
}

void title(cairo_t* cr, double x, double cy, const std::string& s, double align = 0) {
  text(cr, x, cy, s, kTitleSize, art::kWhite, align);
  const double w = textWidth(cr, s, kTitleSize);
  const double x0 = x - w * align;
  line(cr, x0, cy - 0.038, x0 + w, cy - 0.038, art::kWhite, kLine);
}

// Where the primitives put numbers and text: the right edge and the middle
// of the cells of a number of `positions` digits at x, y.
double numberRight(double x, int positions, double size) {
  return x + (positions - 1) * fontgeo::kNumberStep * size + fontgeo::kGlyphWidth * size;
}
double cellMid(double y, double size) { return y + fontgeo::kGlyphHeight * size / 2; }
double decimalRight(double x, int digits, int decimals, double size) {
  const double step = fontgeo::kNumberStep * size;
  return x + (digits + 0.6666667 + decimals - 1) * step + fontgeo::kGlyphWidth * size;
}

void unit(cairo_t* cr, double x, double cy, const std::string& s, double align = 0) {
  text(cr, x, cy, s, kSmallSize, art::kCyan, align);
}

// Direction on screen of a needle turned by `angle` (it points along -x at 0).
double needleDir(double angle) { return angle + 180.0; }

// A valve: a circle with a bar through it; the bar along the flow is open.
void valve(cairo_t* cr, Point c, double r, bool barAlongX, unsigned colour) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, r, 0, 2 * kPi);
  stroke(cr, colour, kFlow);
  const double l = r * 1.45;
  if (barAlongX)
    line(cr, c.x - l, c.y, c.x + l, c.y, colour, kFlow);
  else
    line(cr, c.x, c.y - l, c.x, c.y + l, colour, kFlow);
}

// Permanent data area: the labels and units of TAT, SAT, time and GW.
void permanentArea(cairo_t* cr) {
  const double top = -0.63;
  line(cr, -0.98, top, -0.31, top, art::kWhite);
  line(cr, -0.25, top, 0.23, top, art::kWhite);
  line(cr, 0.29, top, 0.98, top, art::kWhite);
  line(cr, -0.28, top - 0.04, -0.28, -0.97, art::kWhite);
  line(cr, 0.26, top - 0.04, 0.26, -0.97, art::kWhite);

  const double tatY = cellMid(kTatNumber.y, kTempSize), satY = cellMid(kSatNumber.y, kTempSize);
  text(cr, -0.965, tatY, "TAT", kLabelSize, art::kWhite);
  text(cr, -0.965, satY, "SAT", kLabelSize, art::kWhite);
  const double unitX = numberRight(kTatNumber.x, 5, kTempSize) + 0.025;
  unit(cr, unitX, tatY, "\u00b0C");
  unit(cr, unitX, satY, "\u00b0C");

  const double hoursRight = numberRight(kHours.x, 2, kHoursSize);
  text(cr, (hoursRight + kMinutes.x) / 2, cellMid(kMinutes.y, kMinutesSize), "H", kSmallSize, art::kCyan, 0.5);

  const double gwY = cellMid(kGrossWeight.y, kGrossWeightSize);
  text(cr, kGrossWeight.x - 0.02, gwY, "GW", kLabelSize, art::kWhite, 1);
  unit(cr, numberRight(kGrossWeight.x, 5, kGrossWeightSize) + 0.025, gwY, "KG");
}

// ---------------------------------------------------------------- ENG

void oilQuantityDial(cairo_t* cr, Point c) {
  const double r = kEngNeedleLength;
  const double a0 = needleDir(kOilQtyAngle0), a1 = needleDir(kOilQtyAngle0 + kOilQtyAngleSlope * 30);
  arc(cr, c, r, a1, a0, art::kWhite);
  for (int q = 0; q <= 30; q += 5) tick(cr, c, r - (q % 10 ? 0.022 : 0.04), r, needleDir(kOilQtyAngle0 + kOilQtyAngleSlope * q), art::kWhite);
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, 0.012, 0, 2 * kPi);
  fill(cr, art::kWhite);
}

void oilPressureDial(cairo_t* cr, Point c) {
  const double r = kEngNeedleLength;
  auto dir = [](double psi) { return needleDir(kOilPressAngle0 + kOilPressAngleSlope * psi); };
  arc(cr, c, r, dir(100), dir(kOilPressLow), art::kWhite);
  arc(cr, c, r, dir(kOilPressLow), dir(0), art::kRed, 2.4 * kLine);
  for (int p = 0; p <= 100; p += 20) tick(cr, c, r - (p % 40 ? 0.022 : 0.04), r, dir(p), art::kWhite);
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, 0.012, 0, 2 * kPi);
  fill(cr, art::kWhite);
}

void paintEng(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "ENG");
  const double size = 1.1;
  // Fuel used: engine 1 ends left of the labels, engine 2 starts right of them.
  const double fuY = cellMid(0.445025, size);
  const double mid = (numberRight(-0.84075, 4, size) + -0.22) / 2;
  text(cr, mid, fuY + 0.03, "F.USED", kLabelSize, art::kWhite, 0.5);
  unit(cr, mid, fuY - 0.04, "KG", 0.5);
  text(cr, -0.74, 0.74, "1", kLabelSize * 1.2, art::kWhite, 0.5);
  text(cr, -0.12, 0.74, "2", kLabelSize * 1.2, art::kWhite, 0.5);
  line(cr, -0.87, 0.66, -0.62, 0.66, art::kWhite);
  line(cr, -0.25, 0.66, 0.0, 0.66, art::kWhite);

  oilQuantityDial(cr, kEngOilQty1);
  oilQuantityDial(cr, kEngOilQty2);
  oilPressureDial(cr, kEngOilPress1);
  oilPressureDial(cr, kEngOilPress2);
  text(cr, -0.42, 0.33, "OIL", kLabelSize, art::kWhite, 0.5);
  unit(cr, -0.42, 0.25, "QT", 0.5);
  unit(cr, -0.42, -0.20, "PSI", 0.5);
  unit(cr, -0.43, cellMid(-0.52475, size), "\u00b0C", 0.5);

  // Vibration table on the right.
  const double n1Y = cellMid(0.445025, size), n2Y = cellMid(0.053025, size);
  const double c1 = (0.40225 + decimalRight(0.40225, 1, 1, size)) / 2;
  const double c2 = (0.59325 + decimalRight(0.59325, 1, 1, size)) / 2;
  text(cr, (c1 + c2) / 2, 0.66, "VIB", kLabelSize, art::kWhite, 0.5);
  text(cr, c1, 0.575, "1", kSmallSize, art::kWhite, 0.5);
  text(cr, c2, 0.575, "2", kSmallSize, art::kWhite, 0.5);
  text(cr, 0.37, n1Y, "N1", kLabelSize, art::kWhite, 1);
  text(cr, 0.37, n2Y, "N2", kLabelSize, art::kWhite, 1);
  permanentArea(cr);
}

// ---------------------------------------------------------------- BLEED

void paintBleed(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "BLEED");
  const double vr = kValveHalf * 0.68;  // valve circle radius, as painted in the symbol
  const Point* v = kBleedValves;
  const unsigned duct = art::kGreen;

  // Packs: boxes with the outlet temperature (upper) and flow (lower) needles.
  auto pack = [&](double x0, double x1, Point upper, Point lower, double aX, const char* name, double nameX,
                  double nameAlign, Point packValve) {
    rect(cr, x0, 0.15, x1, 0.66, art::kWhite);
    const double r = kPackNeedleLength;
    const double uA0 = needleDir(-46.0), uA1 = needleDir(-46.0 - 60 * 1.756);
    arc(cr, upper, r, uA1, uA0, art::kWhite);
    tick(cr, upper, r - 0.025, r, uA0, art::kWhite);
    tick(cr, upper, r - 0.025, r, uA1, art::kWhite);
    tick(cr, upper, r - 0.018, r, (uA0 + uA1) / 2, art::kWhite);
    text(cr, upper.x + (r + 0.03) * std::cos(rad(uA0 + 6)), upper.y + (r + 0.02) * std::sin(rad(uA0 + 6)), "C",
         kSmallSize, art::kWhite, 0.5);
    text(cr, upper.x + (r + 0.03) * std::cos(rad(uA1 - 6)), upper.y + (r + 0.02) * std::sin(rad(uA1 - 6)), "H",
         kSmallSize, art::kWhite, 0.5);
    const double lA0 = needleDir(-23.0), lA1 = needleDir(-23.0 - 168 * 0.5372);
    arc(cr, lower, r, lA1, lA0, art::kWhite);
    tick(cr, lower, r - 0.025, r, lA0, art::kWhite);
    tick(cr, lower, r - 0.025, r, lA1, art::kWhite);
    text(cr, lower.x + (r + 0.045) * std::cos(rad(lA0 + 8)), lower.y + (r + 0.02) * std::sin(rad(lA0 + 8)), "LO",
         kSmallSize * 0.85, art::kWhite, 0.5);
    text(cr, lower.x + (r + 0.045) * std::cos(rad(lA1 - 8)), lower.y + (r + 0.02) * std::sin(rad(lA1 - 8)), "HI",
         kSmallSize * 0.85, art::kWhite, 0.5);
    for (Point p : {upper, lower}) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, p.x, p.y, 0.01, 0, 2 * kPi);
      fill(cr, art::kWhite);
    }
    unit(cr, numberRight(aX, 3, 1.2) + 0.012, cellMid(0.52425, 1.2), "\u00b0C");
    text(cr, nameX, 0.075, name, kLabelSize, art::kWhite, nameAlign);
    // Pack inlet valve below the box, outlet flow to the cabin above it.
    line(cr, packValve.x, packValve.y + vr, packValve.x, 0.15, duct, kFlow);
    line(cr, packValve.x, packValve.y - vr, packValve.x, 0.0, duct, kFlow);
    const double mx = (x0 + x1) / 2;
    line(cr, mx, 0.66, mx, 0.76, duct, kFlow);
    triangle(cr, mx - 0.025, 0.76, mx + 0.025, 0.76, mx, 0.80);
    fill(cr, duct);
  };
  pack(-0.93, -0.56, kPack1Upper, kPack1Lower, -0.86575, "PACK 1", -0.69, 0, v[2]);
  pack(0.56, 0.92, kPack2Upper, kPack2Lower, 0.59775, "PACK 2", 0.67, 1, v[1]);

  // Engine bleed boxes with pressure and precooler temperature.
  rect(cr, -0.86, -0.26, -0.50, 0.0, art::kWhite);
  rect(cr, 0.48, -0.26, 0.87, 0.0, art::kWhite);
  unit(cr, numberRight(-0.75875, 2, 1.2) + 0.02, cellMid(-0.10275, 1.2), "PSI");
  unit(cr, numberRight(-0.80375, 3, 1.2) + 0.02, cellMid(-0.237, 1.2), "\u00b0C");
  unit(cr, numberRight(0.56125, 2, 1.2) + 0.02, cellMid(-0.10275, 1.2), "PSI");
  unit(cr, numberRight(0.50625, 3, 1.2) + 0.02, cellMid(-0.237, 1.2), "\u00b0C");

  // Crossbleed duct with its valve, and the APU bleed duct from above.
  line(cr, -0.50, v[0].y, v[0].x - vr, v[0].y, duct, kFlow);
  line(cr, v[0].x + vr, v[0].y, 0.48, v[0].y, duct, kFlow);
  line(cr, v[3].x, v[0].y, v[3].x, v[3].y - vr, duct, kFlow);
  line(cr, v[3].x, v[3].y + vr, v[3].x, 0.22, duct, kFlow);
  text(cr, v[3].x, 0.27, "APU", kLabelSize, art::kWhite, 0.5);

  // Engine 1: IP duct through the bleed valve, HP duct through the HP valve.
  line(cr, v[4].x, -0.26, v[4].x, v[4].y + vr, duct, kFlow);
  line(cr, v[4].x, v[4].y - vr, v[4].x, -0.58, duct, kFlow);
  line(cr, v[4].x, v[5].y, v[5].x - vr, v[5].y, duct, kFlow);
  line(cr, v[5].x + vr, v[5].y, -0.40, v[5].y, duct, kFlow);
  line(cr, -0.40, v[5].y, -0.40, -0.58, duct, kFlow);
  // Engine 2, mirrored.
  line(cr, v[7].x, -0.26, v[7].x, v[7].y + vr, duct, kFlow);
  line(cr, v[7].x, v[7].y - vr, v[7].x, -0.58, duct, kFlow);
  line(cr, v[7].x, v[6].y, v[6].x + vr, v[6].y, duct, kFlow);
  line(cr, v[6].x - vr, v[6].y, 0.43, v[6].y, duct, kFlow);
  line(cr, 0.43, v[6].y, 0.43, -0.58, duct, kFlow);
  for (double x : {double(v[4].x), -0.40, double(v[7].x), 0.43}) line(cr, x - 0.035, -0.58, x + 0.035, -0.58, art::kWhite);
  text(cr, v[4].x - 0.05, -0.56, "IP", kSmallSize, art::kWhite, 1);
  text(cr, -0.35, -0.56, "HP", kSmallSize, art::kWhite, 0);
  text(cr, v[7].x + 0.05, -0.56, "IP", kSmallSize, art::kWhite, 0);
  text(cr, 0.38, -0.56, "HP", kSmallSize, art::kWhite, 1);
  text(cr, (v[4].x - 0.40) / 2, -0.57, "1", kLabelSize * 1.2, art::kWhite, 0.5);
  text(cr, (v[7].x + 0.43) / 2, -0.57, "2", kLabelSize * 1.2, art::kWhite, 0.5);
  permanentArea(cr);
}

// ---------------------------------------------------------------- PRESS

void paintPress(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "CAB PRESS");
  const double r = kPressNeedleLength + 0.006;
  const double labelY = 0.62;
  auto hub = [&](Point c) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, c.x, c.y, 0.012, 0, 2 * kPi);
    fill(cr, art::kWhite);
  };

  // Differential pressure, -1 to 9 psi.
  auto dp = [](double psi) { return needleDir(45 - psi * 18); };
  arc(cr, kPressDp, r, dp(8.5), dp(-1), art::kWhite);
  arc(cr, kPressDp, r, dp(9), dp(8.5), art::kAmber, 2.4 * kLine);
  for (int p = -1; p <= 9; ++p) tick(cr, kPressDp, r - (p % 4 == 0 ? 0.045 : 0.025), r, dp(p), art::kWhite);
  for (int p : {0, 4, 8}) {
    const double a = rad(dp(p));
    text(cr, kPressDp.x + (r - 0.085) * std::cos(a), kPressDp.y + (r - 0.085) * std::sin(a), std::to_string(p),
         kSmallSize, art::kWhite, 0.5);
  }
  hub(kPressDp);
  text(cr, kPressDp.x - 0.02, labelY, "\u0394P", kLabelSize, art::kWhite, 1);
  unit(cr, kPressDp.x + 0.01, labelY, "PSI");

  // Cabin vertical speed: climb up, descent down, level at nine o'clock.
  auto vs = [](double fpm) { return needleDir(-(fpm * 0.15)); };
  arc(cr, kPressVs, r, vs(600), vs(-600), art::kWhite);
  for (int f = -600; f <= 600; f += 100) tick(cr, kPressVs, r - (f % 300 == 0 ? 0.045 : 0.025), r, vs(f), art::kWhite);
  text(cr, kPressVs.x - r + 0.075, kPressVs.y, "0", kSmallSize, art::kWhite, 0.5);
  text(cr, kPressVs.x - 0.06, kPressVs.y + r - 0.05, "UP", kSmallSize, art::kWhite, 0.5);
  text(cr, kPressVs.x - 0.06, kPressVs.y - r + 0.05, "DN", kSmallSize, art::kWhite, 0.5);
  hub(kPressVs);
  text(cr, kPressVs.x - 0.02, labelY, "V/S", kLabelSize, art::kWhite, 1);
  unit(cr, kPressVs.x + 0.01, labelY, "FT/MIN");

  // Cabin altitude, 0 to 10000 ft.
  auto ca = [](double ft) { return needleDir(45 - ft * 0.018); };
  arc(cr, kPressCabAlt, r, ca(8800), ca(0), art::kWhite);
  arc(cr, kPressCabAlt, r, ca(9550), ca(8800), art::kAmber, 2.4 * kLine);
  arc(cr, kPressCabAlt, r, ca(10000), ca(9550), art::kRed, 2.4 * kLine);
  for (int f = 0; f <= 10000; f += 1000) tick(cr, kPressCabAlt, r - (f % 5000 == 0 ? 0.045 : 0.025), r, ca(f), art::kWhite);
  for (int f : {0, 5, 10}) {
    const double a = rad(ca(f * 1000));
    text(cr, kPressCabAlt.x + (r - 0.09) * std::cos(a), kPressCabAlt.y + (r - 0.09) * std::sin(a),
         std::to_string(f), kSmallSize, art::kWhite, 0.5);
  }
  hub(kPressCabAlt);
  text(cr, kPressCabAlt.x + 0.09, labelY, "CAB ALT", kLabelSize, art::kWhite, 1);
  unit(cr, kPressCabAlt.x + 0.12, labelY, "FT");

  // Fuselage skin with the inlet, extract, outflow and safety valves.
  const double skin = kPressInlet.y;
  const double il = kPressInlet.x - kPressValveLength, el = kPressExtract.x + kPressValveLength;
  cairo_move_to(cr, -0.96, -0.22);
  cairo_curve_to(cr, -0.96, skin, -0.94, skin, -0.86, skin);
  cairo_line_to(cr, il, skin);
  cairo_move_to(cr, kPressInlet.x, skin);
  cairo_line_to(cr, kPressExtract.x, skin);
  cairo_move_to(cr, el, skin);
  cairo_line_to(cr, 0.80, skin);
  cairo_curve_to(cr, 0.845, skin, kPressSafety.x, skin + 0.02, kPressSafety.x, skin + 0.07);
  cairo_line_to(cr, kPressSafety.x, kPressSafety.y - kPressSafetyLength);
  cairo_move_to(cr, kPressSafety.x, kPressSafety.y);
  cairo_line_to(cr, kPressSafety.x, 0.0);
  stroke(cr, art::kWhite, kLine * 1.3);
  for (Point p : {kPressInlet, kPressExtract, kPressSafety, kPressOutflow}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, p.x, p.y, 0.013, 0, 2 * kPi);
    fill(cr, art::kWhite);
  }
  const double orr = kPressOutflowLength + 0.02;
  arc(cr, kPressOutflow, orr, needleDir(-80), needleDir(0), art::kWhite);
  tick(cr, kPressOutflow, orr - 0.03, orr + 0.01, needleDir(-80), art::kWhite);
  tick(cr, kPressOutflow, orr - 0.03, orr + 0.01, needleDir(0), art::kWhite);
  text(cr, (il + kPressInlet.x) / 2, -0.45, "INLET", kSmallSize, art::kWhite, 0.5);
  text(cr, (kPressExtract.x + el) / 2, -0.45, "EXTRACT", kSmallSize, art::kWhite, 0.5);
  text(cr, kPressOutflow.x - 0.06, -0.45, "OUTFLOW", kSmallSize, art::kWhite, 0.5);
  text(cr, kPressSafety.x - 0.04, -0.03, "SAFETY", kSmallSize, art::kWhite, 1);
  // Pack air into the fuselage: a triangle under the skin above each label.
  for (double x : {-0.80, 0.70}) {
    triangle(cr, x - 0.025, -0.50, x + 0.025, -0.50, x, -0.44);
    fill(cr, art::kGreen);
  }
  text(cr, -0.80, -0.55, "PACK 1", kSmallSize, art::kWhite, 0.5);
  text(cr, 0.70, -0.55, "PACK 2", kSmallSize, art::kWhite, 0.5);
  permanentArea(cr);
}

// ---------------------------------------------------------------- ELEC

void paintElec(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "ELEC");
  const unsigned flow = art::kGreen, box = art::kWhite;
  // Bus bars: a frame around the label the page writes.
  auto bus = [&](double x, double y, int chars) {
    const double right = x + (chars - 1) * fontgeo::kAdvance + fontgeo::kGlyphWidth;
    rect(cr, x - 0.022, y - 0.012, right + 0.018, y + fontgeo::kGlyphHeight + 0.012, art::kGrey);
  };
  bus(-0.9, 0.473, 4);     // DC 1
  bus(0.674, 0.473, 4);    // DC 2
  bus(-0.125, 0.687, 6);   // DC BAT
  bus(-0.121, 0.309, 6);   // DC ESS
  bus(-0.91, -0.084, 4);   // AC 1
  bus(-0.125, -0.084, 6);  // AC ESS
  bus(0.675, -0.084, 4);   // AC 2

  // Batteries, transformer-rectifiers and generators: boxes with units.
  const double v = 0.9;  // value size
  auto units = [&](double x, std::initializer_list<std::pair<double, const char*>> rows) {
    for (const auto& [y, u] : rows) unit(cr, x, cellMid(y, v), u);
  };
  rect(cr, -0.60, 0.55, -0.28, 0.86, box);
  units(numberRight(-0.48, 2, v) + 0.02, {{0.653, "V"}, {0.58, "A"}});
  rect(cr, 0.32, 0.55, 0.64, 0.86, box);
  units(numberRight(0.445, 2, v) + 0.02, {{0.653, "V"}, {0.58, "A"}});
  rect(cr, -0.84, 0.09, -0.55, 0.375, box);
  units(numberRight(-0.755, 2, v) + 0.02, {{0.202, "V"}, {0.108, "A"}});
  rect(cr, 0.595, 0.09, 0.885, 0.375, box);
  units(numberRight(0.675, 2, v) + 0.02, {{0.202, "V"}, {0.108, "A"}});
  rect(cr, -0.405, 0.092, -0.06, 0.196, box);  // ESS TR
  rect(cr, 0.108, 0.092, 0.55, 0.196, box);    // EMER GEN
  rect(cr, -0.93, -0.565, -0.58, -0.165, box);
  units(numberRight(-0.849, 3, v) + 0.02, {{-0.358, "%"}, {-0.458, "V"}, {-0.537, "HZ"}});
  rect(cr, 0.585, -0.565, 0.95, -0.165, box);
  units(numberRight(0.656, 3, v) + 0.02, {{-0.358, "%"}, {-0.458, "V"}, {-0.537, "HZ"}});
  rect(cr, -0.47, -0.61, -0.11, -0.21, box);
  units(numberRight(-0.384, 3, v) + 0.02, {{-0.394, "%"}, {-0.494, "V"}, {-0.576, "HZ"}});
  rect(cr, 0.11, -0.61, 0.47, -0.21, box);
  units(numberRight(0.176, 3, v) + 0.02, {{-0.394, "%"}, {-0.494, "V"}, {-0.576, "HZ"}});

  // Connections, with an arrow head where power enters a bus.
  auto arrowUp = [&](double x, double y) {
    triangle(cr, x - 0.022, y - 0.035, x + 0.022, y - 0.035, x, y);
    fill(cr, flow);
  };
  line(cr, -0.28, 0.724, -0.147, 0.724, flow, kFlow);  // BAT 1 - DC BAT
  line(cr, 0.232, 0.724, 0.32, 0.724, flow, kFlow);    // DC BAT - BAT 2
  line(cr, -0.652, 0.51, 0.652, 0.51, flow, kFlow);    // DC 1 - DC 2 tie
  line(cr, 0.05, 0.51, 0.05, 0.675, flow, kFlow);      // to DC BAT
  line(cr, 0.05, 0.51, 0.05, 0.397, flow, kFlow);      // to DC ESS
  line(cr, -0.75, 0.375, -0.75, 0.461, flow, kFlow);   // TR 1 - DC 1
  arrowUp(-0.75, 0.461);
  line(cr, 0.76, 0.375, 0.76, 0.461, flow, kFlow);     // TR 2 - DC 2
  arrowUp(0.76, 0.461);
  line(cr, -0.10, 0.196, -0.10, 0.297, flow, kFlow);   // ESS TR - DC ESS
  arrowUp(-0.10, 0.297);
  line(cr, -0.75, 0.004, -0.75, 0.09, flow, kFlow);    // AC 1 - TR 1
  arrowUp(-0.75, 0.09);
  line(cr, 0.76, 0.004, 0.76, 0.09, flow, kFlow);      // AC 2 - TR 2
  arrowUp(0.76, 0.09);
  line(cr, -0.10, 0.004, -0.10, 0.092, flow, kFlow);   // AC ESS - ESS TR
  arrowUp(-0.10, 0.092);
  line(cr, -0.662, -0.046, -0.147, -0.046, flow, kFlow);  // AC 1 - AC ESS
  line(cr, -0.80, -0.165, -0.80, -0.096, flow, kFlow);    // GEN 1 - AC 1
  arrowUp(-0.80, -0.096);
  line(cr, 0.79, -0.165, 0.79, -0.096, flow, kFlow);      // GEN 2 - AC 2
  arrowUp(0.79, -0.096);
  line(cr, -0.29, -0.21, -0.29, -0.13, flow, kFlow);      // APU GEN tie
  line(cr, -0.29, -0.13, -0.80, -0.13, flow, kFlow);
  permanentArea(cr);
}

// ---------------------------------------------------------------- HYD

constexpr double kHydCx[3] = {(kHydGreenLow.x0 + kHydGreenLow.x1) / 2.0, (kHydBlueLow.x0 + kHydBlueLow.x1) / 2.0,
                              (kHydYellowLow.x0 + kHydYellowLow.x1) / 2.0};
constexpr double kHydDigitsY = 0.349, kHydDigitsSize = 1.4;
constexpr double kPtuY = (kPtuBottom + kPtuTop) / 2.0;
constexpr double kRatY = (kHydRat.y0 + kHydRat.y1) / 2.0;

// One hydraulic column: supply triangle, line with a gap for the pressure,
// the pump box and, for green and yellow, the stub towards the PTU. Drawn
// green on the page and amber on the low-pressure overlays.
void hydColumn(cairo_t* cr, int system, unsigned colour, bool low) {
  const double cx = kHydCx[system];
  const double digitsTop = kHydDigitsY + fontgeo::kGlyphHeight * kHydDigitsSize;
  triangle(cr, cx - 0.034, 0.565, cx + 0.034, 0.565, cx, 0.615);
  if (low)
    stroke(cr, colour, kLine);
  else
    fill(cr, colour);
  line(cr, cx, 0.565, cx, digitsTop + 0.01, colour, kFlow);
  const bool blue = system == 1;
  const double boxTop = blue ? -0.005 : 0.08, boxBottom = blue ? -0.115 : -0.03;
  line(cr, cx, kHydDigitsY - 0.01, cx, boxTop, colour, kFlow);
  rect(cr, cx - 0.06, boxBottom, cx + 0.06, boxTop, low ? colour : art::kWhite);
  if (low)
    line(cr, cx - 0.042, (boxTop + boxBottom) / 2, cx + 0.042, (boxTop + boxBottom) / 2, colour, kFlow);
  else
    line(cr, cx, boxTop, cx, boxBottom, colour, kFlow);
  // On an overlay the stub stops a texel short of the edge, or the texture's
  // wrap would show it at the far edge too.
  const double reach = low ? -0.003 : 0.01;
  if (system == 0) line(cr, cx, kPtuY, kHydGreenLow.x1 + reach, kPtuY, colour, kFlow);
  if (system == 2) line(cr, cx, kPtuY, kHydYellowLow.x1 - reach, kPtuY, colour, kFlow);
  if (blue) line(cr, kHydRat.x1 - 0.003, kRatY, cx, kRatY, colour, kFlow);
}

// The PTU link between green and yellow, broken where it passes the blue
// column so that it does not read as connected to it. Stays green on the
// blue overlay: it carries green or yellow pressure.
constexpr double kLinkGap = 0.03;
void ptuLink(cairo_t* cr) {
  line(cr, kHydGreenLow.x1, kPtuY, kHydCx[1] - kLinkGap, kPtuY, art::kGreen, kFlow);
  line(cr, kHydCx[1] + kLinkGap, kPtuY, kHydYellowLow.x1, kPtuY, art::kGreen, kFlow);
}

void paintHyd(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "HYD");
  const char* names[3] = {"GREEN", "BLUE", "YELLOW"};
  for (int s = 0; s < 3; ++s) {
    text(cr, kHydCx[s], 0.69, names[s], kLabelSize, art::kWhite, 0.5);
    hydColumn(cr, s, art::kGreen, false);
    if (s != 1) {
      // Engine fire valve below the engine pump.
      valve(cr, {float(kHydCx[s]), -0.15f}, 0.036, false, art::kGreen);
      line(cr, kHydCx[s], -0.03, kHydCx[s], -0.15 + 0.036, art::kGreen, kFlow);
    }
  }
  unit(cr, (numberRight(-0.83, 4, kHydDigitsSize) + -0.18) / 2, cellMid(kHydDigitsY, kHydDigitsSize), "PSI", 0.5);
  // The moving PTU symbol is drawn over the link.
  ptuLink(cr);
  text(cr, kPtuSymbolX, 0.385, "PTU", kSmallSize, art::kWhite, 0.5);
  permanentArea(cr);
}

void paintHydLow(cairo_t* cr, int w, int h, Quad q, int system) {
  frame(cr, w, h, q);
  if (system == 1) ptuLink(cr);
  hydColumn(cr, system, art::kAmber, true);
}

// PTU symbol: two triangles back to back on the link line; the one that
// points to the receiving system is filled when the PTU transfers. The link
// itself is the background's, so the quad may slide along it.
constexpr Quad kPtuBalancedQuad{kPtuOffsetBalanced + kPtuLeft, kPtuBottom, kPtuOffsetBalanced + kPtuRight, kPtuTop};

void ptuShape(cairo_t* cr, int w, int h, int state, bool mask) {
  frame(cr, w, h, kPtuBalancedQuad);
  const double y = kPtuY, c = kPtuSymbolX;
  for (int side : {-1, 1}) {
    triangle(cr, c + side * 0.012, y - 0.05, c + side * 0.012, y + 0.05, c + side * 0.08, y);
    const bool filled = mask || (side < 0 && state == 1) || (side > 0 && state == 2);
    art::rgb(cr, art::kGreen);
    if (filled) cairo_fill_preserve(cr);
    stroke(cr, art::kGreen, kLine);
  }
}

void ratShape(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kHydRat);
  triangle(cr, -0.205, kRatY - 0.045, -0.205, kRatY + 0.045, -0.125, kRatY);
  stroke(cr, art::kWhite, kLine);
  line(cr, -0.125, kRatY, kHydRat.x1, kRatY, art::kGreen, kFlow);
}

void yellowElecShape(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kHydYellowElec);
  const double y = (kHydYellowElec.y0 + kHydYellowElec.y1) / 2;
  line(cr, kHydCx[2], y, 0.69, y, art::kGreen, kFlow);
  triangle(cr, 0.69, y, 0.765, y - 0.045, 0.765, y + 0.045);
  fill(cr, art::kGreen);
}

// ---------------------------------------------------------------- FUEL

void paintFuel(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "FUEL");
  const double s = kFuelSize;
  const double fuY = cellMid(kFuelUsed1.y, s);
  const double e1 = (kFuelUsed1.x + numberRight(kFuelUsed1.x, 4, s)) / 2;
  const double e2 = (kFuelUsed2.x + numberRight(kFuelUsed2.x, 4, s)) / 2;
  text(cr, -0.05, fuY + 0.02, "F.USED", kLabelSize, art::kWhite, 0.5);
  unit(cr, -0.05, fuY - 0.05, "KG", 0.5);
  for (auto [x, n] : {std::pair{e1, "1"}, std::pair{e2, "2"}}) {
    rect(cr, x - 0.06, 0.66, x + 0.06, 0.78, art::kWhite);
    text(cr, x, 0.72, n, kLabelSize * 1.2, art::kWhite, 0.5);
  }
  const double fobY = cellMid(kFuelOnBoard.y, s);
  text(cr, kFuelOnBoard.x - 0.026, fobY, "FOB :", kLabelSize, art::kWhite, 1);
  unit(cr, numberRight(kFuelOnBoard.x, 5, s) + 0.02, fobY, "KG");

  // Feed lines with the LP valves, and the crossfeed between them.
  const unsigned g = art::kGreen;
  const double wingTop = -0.20, xfeedY = -0.05;
  auto wingTopAt = [](double x) {
    const double ax = std::fabs(x + 0.02);
    return ax < 0.25 ? -0.20 : -0.20 - (ax - 0.25) / 0.70 * 0.07;
  };
  for (double x : {e1, e2}) {
    line(cr, x, 0.52, x, 0.16 + 0.04, g, kFlow);
    valve(cr, {float(x), 0.16f}, 0.04, false, g);
    line(cr, x, 0.16 - 0.04, x, wingTopAt(x), g, kFlow);
  }
  const double xc = (e1 + e2) / 2;
  line(cr, e1, xfeedY, xc - 0.04, xfeedY, art::kWhite, kFlow);
  line(cr, xc + 0.04, xfeedY, e2, xfeedY, art::kWhite, kFlow);
  valve(cr, {float(xc), float(xfeedY)}, 0.04, false, g);
  text(cr, xc, xfeedY + 0.085, "X FEED", kSmallSize, art::kWhite, 0.5);

  // Wing tanks: outer, inner, centre, inner, outer.
  cairo_move_to(cr, -0.97, -0.27);
  cairo_line_to(cr, -0.27, wingTop);
  cairo_line_to(cr, 0.23, wingTop);
  cairo_line_to(cr, 0.93, -0.27);
  cairo_line_to(cr, 0.93, -0.43);
  cairo_line_to(cr, 0.23, -0.49);
  cairo_line_to(cr, -0.27, -0.49);
  cairo_line_to(cr, -0.97, -0.43);
  cairo_close_path(cr);
  stroke(cr, art::kWhite);
  auto wingBottomAt = [](double x) {
    const double ax = std::fabs(x + 0.02);
    return ax < 0.25 ? -0.49 : -0.49 + (ax - 0.25) / 0.70 * 0.06;
  };
  for (double x : {-0.69, -0.27, 0.23, 0.65}) line(cr, x, wingTopAt(x), x, wingBottomAt(x), art::kWhite);
  // Pumps: two per inner and centre tank.
  for (double x : {-0.63, -0.42, -0.13, 0.09, 0.39, 0.57}) {
    rect(cr, x - 0.026, -0.30, x + 0.026, -0.245, art::kWhite);
    line(cr, x, -0.30, x, -0.245, g, kFlow);
  }
  unit(cr, 0.95, -0.53, "KG", 1);
  permanentArea(cr);
}

// ---------------------------------------------------------------- APU

void apuDial(cairo_t* cr, Point c, double perUnit, double top, std::initializer_list<std::pair<double, const char*>> marks,
             double amber, double red) {
  const double r = kApuInnerLength - 0.008;
  auto dir = [&](double value) { return needleDir(45 - perUnit * value); };
  arc(cr, c, r, dir(amber), dir(0), art::kWhite);
  if (red > amber) arc(cr, c, r, dir(red), dir(amber), art::kAmber, 2.2 * kLine);
  arc(cr, c, r, dir(top), dir(red), art::kRed, 2.4 * kLine);
  for (const auto& [value, label] : marks) {
    tick(cr, c, r - 0.04, r, dir(value), art::kWhite);
    const double a = rad(dir(value));
    text(cr, c.x + (r - 0.08) * std::cos(a), c.y + (r - 0.08) * std::sin(a), label, kSmallSize, art::kWhite, 0.5);
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, c.x, c.y, 0.012, 0, 2 * kPi);
  fill(cr, art::kWhite);
}

constexpr double kApuDuctX = 0.515, kApuValveY = 0.745, kApuValveR = 0.055;

// Units clear both the number and the "XX"/"XXX" the page writes in its
// place, which runs wider.
double apuUnitX(double x, int cells, double size) {
  const double crosses = x + (cells - 1) * fontgeo::kAdvance * size + fontgeo::kGlyphWidth * size;
  const double digits = numberRight(x, cells, size);
  return (digits > crosses ? digits : crosses) + 0.02;
}

void paintApu(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "APU");
  // Box tops sit just below the symbols, which are drawn opaque over
  // their whole quads.
  const double genTop = kApuGenLink.y0 - 0.004, bleedTop = kApuBleedOpen.y0 - 0.004;
  rect(cr, -0.80, 0.33, -0.36, genTop, art::kWhite);
  text(cr, -0.58, 0.745, "APU GEN", kLabelSize, art::kWhite, 0.5);
  const double v = kApuValueSize;
  unit(cr, apuUnitX(kApuLoad.x, 2, v), cellMid(kApuLoad.y, v), "%");
  unit(cr, apuUnitX(kApuVoltage.x, 3, v), cellMid(kApuVoltage.y, v), "V");
  unit(cr, apuUnitX(kApuFrequency.x, 3, v), cellMid(kApuFrequency.y, v), "HZ");
  // Bleed box; the duct and valve above it are the symbols.
  rect(cr, 0.25, 0.30, 0.78, bleedTop, art::kWhite);
  text(cr, kApuDuctX, 0.515, "APU BLEED", kLabelSize, art::kWhite, 0.5);
  unit(cr, apuUnitX(kApuBleedPressure.x, 3, kApuBleedSize), cellMid(kApuBleedPressure.y, kApuBleedSize), "PSI");
  // Speed and EGT dials.
  apuDial(cr, kApuNInner, 1.8, 110, {{0, "0"}, {50, "5"}, {100, "10"}}, 102, 107);
  text(cr, -0.86, kApuNInner.y + 0.05, "N", kLabelSize, art::kWhite, 0.5);
  unit(cr, apuUnitX(kApuSpeed.x, 3, v), cellMid(kApuSpeed.y, v), "%");
  apuDial(cr, kApuEgtInner, 0.18, 1000, {{0, "0"}, {300, "3"}, {700, "7"}, {1000, "10"}}, 900, 900);
  text(cr, -0.86, kApuEgtInner.y + 0.05, "EGT", kLabelSize, art::kWhite, 0.5);
  unit(cr, apuUnitX(kApuEgt.x, 3, v), cellMid(kApuEgt.y, v), "\u00b0C");
  permanentArea(cr);
}

void apuBleedOpen(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kApuBleedOpen);
  line(cr, kApuDuctX, kApuBleedOpen.y0, kApuDuctX, kApuValveY - kApuValveR, art::kGreen, kFlow);
  valve(cr, {float(kApuDuctX), float(kApuValveY)}, kApuValveR, false, art::kGreen);
  line(cr, kApuDuctX, kApuValveY + kApuValveR, kApuDuctX, kApuBleedOpen.y1, art::kGreen, kFlow);
  triangle(cr, kApuDuctX - 0.03, 0.925, kApuDuctX + 0.03, 0.925, kApuDuctX, 0.97);
  fill(cr, art::kGreen);
}

void apuBleedShut(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kApuBleedShut);
  line(cr, kApuDuctX, kApuBleedShut.y0, kApuDuctX, kApuValveY - kApuValveR, art::kWhite, kFlow);
  valve(cr, {float(kApuDuctX), float(kApuValveY)}, kApuValveR, true, art::kGreen);
}

void apuGenLink(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kApuGenLink);
  const double x = (kApuGenLink.x0 + kApuGenLink.x1) / 2;
  line(cr, x, kApuGenLink.y0, x, 0.90, art::kGreen, kFlow);
  triangle(cr, x - 0.035, 0.90, x + 0.035, 0.90, x, 0.955);
  fill(cr, art::kGreen);
}

// ---------------------------------------------------------------- COND

void paintCond(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "COND");
  text(cr, 0.78, 0.88, "TEMP :", kLabelSize, art::kWhite, 1);
  unit(cr, 0.80, 0.88, "\u00b0C");
  // Cabin outline with its three zones.
  const double top = 0.47, bottom = 0.13;
  cairo_move_to(cr, -0.66, top);
  cairo_line_to(cr, 0.74, top);
  cairo_line_to(cr, 0.95, 0.40);
  cairo_line_to(cr, 0.95, 0.33);
  cairo_line_to(cr, 0.74, bottom);
  cairo_line_to(cr, -0.66, bottom);
  cairo_curve_to(cr, -0.86, bottom, -0.94, 0.25, -0.94, 0.30);
  cairo_curve_to(cr, -0.94, 0.36, -0.86, top, -0.66, top);
  cairo_close_path(cr);
  stroke(cr, art::kWhite);
  for (double x : {-0.14, 0.36}) {
    const double dashes[] = {0.02, 0.015};
    cairo_set_dash(cr, dashes, 2, 0);
    line(cr, x, top, x, bottom, art::kGrey);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
  const char* zones[3] = {"CKPT", "FWD", "AFT"};
  for (int i = 0; i < 3; ++i)
    text(cr, (kCondZoneX[i] + numberRight(kCondZoneX[i], 2, kCondZoneSize)) / 2, 0.375, zones[i], kLabelSize,
         art::kWhite, 0.5);

  // Trim valve dials and the hot-air duct that feeds them.
  const double r = kCondNeedleLength + 0.01;
  const double duct = (kCondHotAir.y0 + kCondHotAir.y1) / 2;
  for (Point p : kCondTrim) {
    const double a0 = needleDir(kCondAngleShut), a1 = needleDir(kCondAngleOpen);
    arc(cr, p, r, a1, a0, art::kWhite);
    tick(cr, p, r - 0.03, r + 0.005, a0, art::kWhite);
    tick(cr, p, r - 0.03, r + 0.005, a1, art::kWhite);
    tick(cr, p, r - 0.02, r, (a0 + a1) / 2, art::kWhite);
    text(cr, p.x + (r + 0.035) * std::cos(rad(a0 + 8)), p.y + (r + 0.02) * std::sin(rad(a0 + 8)), "C",
         kSmallSize, art::kWhite, 0.5);
    text(cr, p.x + (r + 0.035) * std::cos(rad(a1 - 8)), p.y + (r + 0.02) * std::sin(rad(a1 - 8)), "H",
         kSmallSize, art::kWhite, 0.5);
    line(cr, p.x, duct, p.x, p.y - 0.015, art::kGreen, kFlow);
    cairo_new_sub_path(cr);
    cairo_arc(cr, p.x, p.y, 0.014, 0, 2 * kPi);
    fill(cr, art::kWhite);
  }
  line(cr, kCondTrim[0].x, duct, kCondHotAir.x0, duct, art::kGreen, kFlow);
  line(cr, kCondHotAir.x1, duct, 0.95, duct, art::kGreen, kFlow);
  // Shut hot-air valve, across the duct; the open symbol covers it.
  const Point hotAir{(kCondHotAir.x0 + kCondHotAir.x1) / 2, float(duct)};
  valve(cr, hotAir, 0.68 * (kCondHotAir.x1 - kCondHotAir.x0) / 2, false, art::kAmber);
  text(cr, (kCondHotAir.x0 + kCondHotAir.x1) / 2, -0.55, "HOT AIR", kSmallSize, art::kWhite, 0.5);
  text(cr, 0.95, duct + 0.06, "PACKS", kSmallSize, art::kWhite, 1);
  permanentArea(cr);
}

// ---------------------------------------------------------------- DOOR

void paintDoor(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "DOOR/OXY");
  const double l = (kCabinDoors[0].x0 + kCabinDoors[0].x1) / 2, r = (kCargoDoors[0].x0 + kCargoDoors[0].x1) / 2;
  const double c = (l + r) / 2;
  const double noseBase = 0.66, tailBase = -0.44;
  // Fuselage seen from above, nose up.
  cairo_move_to(cr, l, tailBase);
  cairo_line_to(cr, l, noseBase);
  cairo_curve_to(cr, l, 0.80, c - 0.07, 0.93, c, 0.93);
  cairo_curve_to(cr, c + 0.07, 0.93, r, 0.80, r, noseBase);
  cairo_line_to(cr, r, tailBase);
  cairo_curve_to(cr, r, -0.52, c + 0.03, -0.60, c, -0.61);
  cairo_curve_to(cr, c - 0.03, -0.60, l, -0.52, l, tailBase);
  stroke(cr, art::kWhite, kLine * 1.2);
  // Cockpit windows and the overwing exits.
  line(cr, c - 0.06, 0.80, c + 0.06, 0.80, art::kWhite);
  for (double y : {0.10, -0.02}) {
    rect(cr, l - 0.014, y, l + 0.014, y + 0.07, art::kWhite);
    rect(cr, r - 0.014, y, r + 0.014, y + 0.07, art::kWhite);
  }
  text(cr, c, 0.085, "EMER", kSmallSize * 0.8, art::kWhite, 0.5);
  text(cr, c, 0.035, "EXIT", kSmallSize * 0.8, art::kWhite, 0.5);
  // Bulk cargo door behind the aft cargo door.
  rect(cr, r - 0.014, -0.43, r + 0.014, -0.37, art::kWhite);
  text(cr, r + 0.03, -0.40, "BULK", kSmallSize * 0.8, art::kWhite, 0);
  line(cr, 0.33, 0.705, 0.95, 0.705, art::kGrey);
  permanentArea(cr);
}

void doorShape(cairo_t* cr, int w, int h, unsigned colour, bool open) {
  const double m = 0.14 * w;
  cairo_rectangle(cr, m, 0.08 * h, w - 2 * m, 0.84 * h);
  art::rgb(cr, colour);
  if (open) {
    cairo_fill(cr);
  } else {
    cairo_set_line_width(cr, 0.16 * w);
    cairo_stroke(cr);
  }
}

// ---------------------------------------------------------------- WHEEL

void paintWheel(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.95, 0.88, "WHEEL");
  // Gear bays: brackets at the ends of the closed doors.
  auto bay = [&](double x0, double x1, double y) {
    line(cr, x0, y + 0.01, x0, y - 0.05, art::kWhite);
    line(cr, x1, y + 0.01, x1, y - 0.05, art::kWhite);
  };
  bay(kDoorHingeLeft.x - kMainDoorLength, kDoorHingeLeft.x, kDoorHingeLeft.y);
  bay(kDoorHingeRight.x, kDoorHingeRight.x + kMainDoorLength, kDoorHingeRight.y);
  bay(kDoorHingeNoseLeft.x, kDoorHingeNoseRight.x, kDoorHingeNoseLeft.y);
  for (Point p : {kDoorHingeLeft, kDoorHingeRight, kDoorHingeNoseLeft, kDoorHingeNoseRight}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, p.x, p.y, 0.011, 0, 2 * kPi);
    fill(cr, art::kWhite);
  }
  // Brakes: a wheel under each temperature, numbered 1 to 4.
  const double s = 1.0;
  const double cy = cellMid(kBrakeY, s);
  for (int i = 0; i < 4; ++i) {
    const double cx = (kBrakeX[i] + numberRight(kBrakeX[i], 3, s)) / 2;
    // Tyre seen from behind, with the wheel number.
    const double x0 = cx - 0.075, x1 = cx + 0.075, y0 = -0.40, y1 = -0.17, r = 0.03;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
    cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
    cairo_arc(cr, x1 - r, y0 + r, r, 3 * kPi / 2, 2 * kPi);
    cairo_close_path(cr);
    stroke(cr, art::kWhite);
    text(cr, cx, -0.285, std::to_string(i + 1), kLabelSize, art::kWhite, 0.5);
  }
  unit(cr, (numberRight(kBrakeX[0], 3, s) + kBrakeX[1] - 0.04) / 2, cy, "\u00b0C", 0.5);
  unit(cr, (numberRight(kBrakeX[2], 3, s) + kBrakeX[3] - 0.04) / 2, cy, "\u00b0C", 0.5);
  text(cr, (kBrakeX[1] + kBrakeX[2]) / 2 + 0.03, cy, "BRAKES", kSmallSize, art::kWhite, 0.5);
  text(cr, (kGearNose.x0 + kGearNose.x1) / 2, kGearNose.y0 - 0.05, "NOSE", kSmallSize, art::kWhite, 0.5);
  text(cr, (kGearLeft.x0 + kGearLeft.x1) / 2, kGearLeft.y0 - 0.05, "LEFT", kSmallSize, art::kWhite, 0.5);
  text(cr, (kGearRight.x0 + kGearRight.x1) / 2, kGearRight.y0 - 0.05, "RIGHT", kSmallSize, art::kWhite, 0.5);
  permanentArea(cr);
}

// Gear symbol: a triangle for each side of the gear, pointing down.
void gearShape(cairo_t* cr, int w, int h, unsigned colour) {
  frame(cr, w, h, kGearLeft);
  const double cx = (kGearLeft.x0 + kGearLeft.x1) / 2, y0 = kGearLeft.y0 + 0.02, y1 = kGearLeft.y1 - 0.02;
  for (int side : {-1, 1}) {
    const double x = cx + side * 0.075;
    triangle(cr, x - 0.055, y1, x + 0.055, y1, x, y0 + 0.02);
    art::rgb(cr, colour);
    cairo_fill_preserve(cr);
    stroke(cr, colour, kLine);
  }
}

// ---------------------------------------------------------------- F/CTL

// Spoilers are numbered from the fuselage out on each wing: 5 4 3 2 1 on
// the left, 1 2 3 4 5 on the right.
int spoilerNumber(int i) { return i < 5 ? 5 - i : i - 4; }

void spoilerLabels(cairo_t* cr) {
  for (int i = 0; i < 10; ++i) {
    const Spoiler& s = kSpoilers[i];
    const double cx = (s.x0 + s.x1) / 2;
    line(cr, s.x0 + 0.006, s.high - 0.008, s.x1 - 0.006, s.high - 0.008, art::kGreen, 0.014);
    text(cr, cx, s.high - 0.06, std::to_string(spoilerNumber(i)), kSmallSize, art::kWhite, 0.5);
  }
}

void paintFctl(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, -0.97, 0.88, "F/CTL");
  spoilerLabels(cr);
  text(cr, 0.0, 0.76, "SPD BRK", kSmallSize, art::kWhite, 0.5);

  // Aileron and elevator scales: the marker's tip runs along the line.
  auto scale = [&](double x, double yMid, double limit, int outward) {
    line(cr, x, yMid - limit, x, yMid + limit, art::kWhite);
    for (double y : {yMid - limit, yMid + limit}) line(cr, x, y, x + outward * 0.03, y, art::kWhite);
  };
  const double ailMid = (kLeftAileron.y0 + kLeftAileron.y1) / 2, elevMid = (kLeftElevator.y0 + kLeftElevator.y1) / 2;
  scale(kLeftAileron.x0 - 0.008, ailMid, kAileronLimit, -1);
  scale(kRightAileron.x0 + 0.008, ailMid, kAileronLimit, 1);
  scale(kLeftElevator.x0 - 0.008, elevMid, kElevatorLimit, -1);
  scale(kRightElevator.x1 + 0.008, elevMid, kElevatorLimit, 1);
  text(cr, -0.95, ailMid + 0.2, "L AIL", kLabelSize, art::kWhite, 0);
  text(cr, 0.95, ailMid + 0.2, "R AIL", kLabelSize, art::kWhite, 1);
  text(cr, -0.95, elevMid + 0.2, "L ELEV", kLabelSize, art::kWhite, 0);
  text(cr, 0.95, elevMid + 0.2, "R ELEV", kLabelSize, art::kWhite, 1);

  // Pitch trim, with the value and UP/DN written below the label.
  text(cr, -0.03, 0.235, "PITCH TRIM", kSmallSize, art::kWhite, 0.5);

  // Rudder travel arc with its limit stops; the trim index sits on it.
  const double rr = -kRudder.y0 + 0.014;
  arc(cr, kRudderPivot, rr, 270 - kRudderLimit, 270 + kRudderLimit, art::kWhite);
  for (double a : {270 - kRudderLimit, 270 + kRudderLimit}) {
    tick(cr, kRudderPivot, rr - 0.035, rr + 0.02, a, art::kWhite, kLine * 1.4);
  }
  text(cr, 0.0, kRudderPivot.y - rr - 0.07, "RUD", kLabelSize, art::kWhite, 0.5);

  // Computer status boxes.
  auto computers = [&](double x0, double x1, const char* name, const char* numbers) {
    rect(cr, x0, -0.045, x1, 0.065, art::kWhite);
    text(cr, x0 + 0.02, 0.01, name, kSmallSize, art::kWhite, 0);
    text(cr, x1 - 0.02, 0.01, numbers, kSmallSize, art::kGreen, 1);
  };
  computers(-0.47, -0.21, "ELAC", "1 2");
  computers(0.19, 0.475, "SEC", "1 2 3");
  permanentArea(cr);
}

// Multiplied into the frame: only the windows above the spoiler rest lines
// let the spoilers drawn underneath show.
void paintFctlMask(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  for (const Spoiler& s : kSpoilers) {
    cairo_rectangle(cr, s.x0, s.high, s.x1 - s.x0, kSpoilerTravel);
    fill(cr, 0xffffff);
  }
}

// A spoiler: an arrow whose head is at the top of its quad, so that it rises
// out of the rest line as the spoiler extends.
void paintSpoiler(cairo_t* cr, int w, int h) {
  const Spoiler& s = kSpoilers[0];
  frame(cr, w, h, {s.x0, s.low, s.x1, s.high});
  const double cx = (s.x0 + s.x1) / 2, half = (s.x1 - s.x0) / 2;
  cairo_rectangle(cr, cx - half * 0.2, s.low, half * 0.4, s.high - s.low - 0.03);
  fill(cr, art::kGreen);
  triangle(cr, cx - half * 0.85, s.high - 0.045, cx + half * 0.85, s.high - 0.045, cx, s.high - 0.002);
  fill(cr, art::kGreen);
}

// Surface marker: a triangle whose tip is at the scale.
void surfaceShape(cairo_t* cr, int w, int h, Quad q, double tipX, double baseX) {
  frame(cr, w, h, q);
  const double cy = (q.y0 + q.y1) / 2, half = std::fabs(q.y1 - q.y0) * 0.42;
  triangle(cr, tipX, cy, baseX, cy - half, baseX, cy + half);
  art::rgb(cr, art::kGreen);
  cairo_fill_preserve(cr);
  stroke(cr, art::kGreen, 0.003);
}

// Rudder: hinge circle at the pivot and a blade tapering down to its tip.
void rudderShape(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kRudder);
  const double r = 0.032, tip = kRudder.y0 + 0.006;
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
  art::rgb(cr, art::kGreen);
  cairo_fill(cr);
  cairo_move_to(cr, -r * 0.9, -0.01);
  cairo_curve_to(cr, -r * 0.9, -0.12, -0.008, tip + 0.05, 0, tip);
  cairo_curve_to(cr, 0.008, tip + 0.05, r * 0.9, -0.12, r * 0.9, -0.01);
  cairo_close_path(cr);
  cairo_fill(cr);
}

// ---------------------------------------------------------------- CRUISE

void paintCruise(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, 0.0, 0.88, "CRUISE", 0.5);
  text(cr, -0.95, 0.76, "ENG", kLabelSize, art::kWhite);
  line(cr, -0.95, 0.72, -0.84, 0.72, art::kWhite);
  const double s = kCruiseSize;
  // Labels between engine 1's last digit and the leftmost start of engine 2.
  const double mid = (numberRight(kCruiseFuelUsed1.x, 4, s) + kCruiseEngine2Small + 0.09) / 2;
  text(cr, mid, cellMid(kCruiseFuelUsedY, s) + 0.035, "F.USED", kLabelSize, art::kWhite, 0.5);
  unit(cr, mid, cellMid(kCruiseFuelUsedY, s) - 0.035, "KG", 0.5);
  text(cr, mid, cellMid(kCruiseOilY, s) + 0.035, "OIL", kLabelSize, art::kWhite, 0.5);
  unit(cr, mid, cellMid(kCruiseOilY, s) - 0.035, "QT", 0.5);
  const double v1 = (kCruiseVib1.x + decimalRight(kCruiseVib1.x, 1, 2, s)) / 2;
  const double v2 = (kCruiseVib2.x + decimalRight(kCruiseVib2.x, 1, 2, s)) / 2;
  text(cr, (v1 + v2) / 2, 0.73, "VIB", kLabelSize, art::kWhite, 0.5);
  text(cr, v1, 0.665, "1", kSmallSize, art::kWhite, 0.5);
  text(cr, v2, 0.665, "2", kSmallSize, art::kWhite, 0.5);
  text(cr, kCruiseVib1.x - 0.026, cellMid(kCruiseVib1.y, s), "N1", kLabelSize, art::kWhite, 1);

  line(cr, -0.95, 0.25, 0.95, 0.25, art::kGrey);
  text(cr, -0.95, 0.18, "AIR", kLabelSize, art::kWhite);
  line(cr, -0.95, 0.14, -0.84, 0.14, art::kWhite);
  text(cr, kCruiseLdgElevMode.x - 0.027, cellMid(kCruiseLdgElevMode.y, s), "LDG ELEV", kLabelSize, art::kWhite, 1);
  unit(cr, numberRight(kCruiseLdgElev.x, 4, s) + 0.02, cellMid(kCruiseLdgElev.y, s), "FT");
  text(cr, kCruiseVsSign.x - 0.019, cellMid(kCruiseVs.y, s), "CAB V/S", kLabelSize, art::kWhite, 1);
  unit(cr, numberRight(kCruiseVs.x, 4, s) + 0.02, cellMid(kCruiseVs.y, s), "FT/MIN");
  text(cr, kCruiseVsSign.x - 0.019, cellMid(kCruiseCabAlt.y, s), "CAB ALT", kLabelSize, art::kWhite, 1);
  unit(cr, numberRight(kCruiseCabAlt.x, 4, s) + 0.02, cellMid(kCruiseCabAlt.y, s), "FT");

  // Cabin outline around the zone temperatures.
  const double cy = cellMid(kCruiseZoneY, s);
  const double top = cy + 0.135, bottom = cy - 0.135, nose = kCruiseZoneX[0] - 0.08;
  const double tail = numberRight(kCruiseZoneX[2], 2, s) + 0.025;
  cairo_move_to(cr, nose, top);
  cairo_line_to(cr, tail, top);
  cairo_line_to(cr, tail + 0.045, cy + 0.065);
  cairo_line_to(cr, tail + 0.045, cy - 0.035);
  cairo_line_to(cr, tail, bottom);
  cairo_line_to(cr, nose, bottom);
  cairo_curve_to(cr, nose - 0.12, bottom, nose - 0.16, cy - 0.035, nose - 0.16, cy);
  cairo_curve_to(cr, nose - 0.16, cy + 0.035, nose - 0.12, top, nose, top);
  cairo_close_path(cr);
  stroke(cr, art::kWhite);
  const char* zones[3] = {"CKPT", "FWD", "AFT"};
  for (int i = 0; i < 3; ++i)
    text(cr, (kCruiseZoneX[i] + numberRight(kCruiseZoneX[i], 2, s)) / 2, cy + 0.085, zones[i], kSmallSize,
         art::kWhite, 0.5);
  unit(cr, (nose + tail) / 2, bottom - 0.05, "\u00b0C", 0.5);
  permanentArea(cr);
}

// ---------------------------------------------------------------- STATUS

void paintStatus(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  title(cr, 0.0, 0.88, "STATUS", 0.5);
  permanentArea(cr);
}

void paintSparePage(cairo_t* cr, int w, int h) {
  frame(cr, w, h, kScreen);
  permanentArea(cr);
}

// ---------------------------------------------------------------- shared symbols

// Valve as the BLEED page turns it: bar along x at rotation 0.
void valveShape(cairo_t* cr, int w, int h) {
  frame(cr, w, h, {-kValveHalf, -kValveHalf, kValveHalf, kValveHalf});
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, kValveHalf * 0.68, 0, 2 * kPi);
  stroke(cr, art::kGreen, kFlow);
  line(cr, -kValveHalf, 0, kValveHalf, 0, art::kGreen, kFlow);
}

// Needle bar, stretched along whatever quad it is drawn on.
void barShape(cairo_t* cr, int w, int h, unsigned colour) {
  const double t = h * 0.62, y = h / 2.0;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, t / 2, y);
  cairo_line_to(cr, w - t / 2, y);
  art::rgb(cr, colour);
  cairo_set_line_width(cr, t);
  cairo_stroke(cr);
}

// Outer APU dial index: a small wedge at the needle's far end only.
void apuIndexShape(cairo_t* cr, int w, int h) {
  triangle(cr, 0, 0.1 * h, 0, 0.9 * h, 0.11 * w, 0.5 * h);
  art::rgb(cr, art::kWhite);
  cairo_fill(cr);
}

// Engine fire valve for the HYD page: open in green, shut in amber.
void fireValveShape(cairo_t* cr, int w, int h, bool open) {
  const unsigned c = open ? art::kGreen : art::kAmber;
  cairo_set_line_width(cr, 0.09 * w);
  art::rgb(cr, c);
  cairo_arc(cr, w / 2.0, h / 2.0, 0.3 * w, 0, 2 * kPi);
  cairo_stroke(cr);
  if (open) {
    cairo_move_to(cr, w / 2.0, 0.08 * h);
    cairo_line_to(cr, w / 2.0, 0.92 * h);
  } else {
    cairo_move_to(cr, 0.08 * w, h / 2.0);
    cairo_line_to(cr, 0.92 * w, h / 2.0);
  }
  cairo_stroke(cr);
}

}  // namespace

void addSystemDisplayArt(std::vector<ArtFile>& files) {
  const int p = kPageSize;
  // Page backgrounds.
  files.push_back({"03321000.tex", kSparePageSize, kSparePageSize, paintSparePage});
  files.push_back({"03321001.tex", p, p, paintEng});
  files.push_back({"03321002.tex", p, p, paintBleed});
  files.push_back({"03321003.tex", p, p, paintPress});
  files.push_back({"03321004.tex", p, p, paintElec});
  files.push_back({"03321005.tex", p, p, paintHyd});
  files.push_back({"03321006.tex", p, p, paintFuel});
  files.push_back({"03321007.tex", p, p, paintApu});
  files.push_back({"03321008.tex", p, p, paintCond});
  files.push_back({"03321009.tex", p, p, paintDoor});
  files.push_back({"03321010.tex", p, p, paintWheel});
  files.push_back({"03321011.tex", p, p, paintFctl});
  files.push_back({"03321111.tex", p, p, paintFctlMask});
  files.push_back({"03321012.tex", p, p, paintCruise});
  files.push_back({"03321013.tex", p, p, paintStatus});

  // Valve (BLEED, COND) and needle bars (BLEED, PRESS, APU, COND, WHEEL).
  files.push_back(art::colourOf("03322000.tex", 128, 128, valveShape));
  files.push_back(art::maskOf("03322001.tex", 128, 128, valveShape));
  files.push_back(art::colourOf("03322002.tex", 256, 16, [](cairo_t* cr, int w, int h) { barShape(cr, w, h, art::kAmber); }));
  files.push_back(art::maskOf("03322003.tex", 256, 16, [](cairo_t* cr, int w, int h) { barShape(cr, w, h, art::kWhite); }));
  files.push_back(art::colourOf("03322004.tex", 256, 16, [](cairo_t* cr, int w, int h) { barShape(cr, w, h, art::kGreen); }));

  // HYD.
  files.push_back(art::colourOf("03322005.tex", 128, 64, yellowElecShape));
  files.push_back(art::maskOf("03322006.tex", 128, 64, yellowElecShape));
  files.push_back(art::colourOf("03322007.tex", 64, 64, ratShape));
  files.push_back(art::maskOf("03322008.tex", 64, 64, ratShape));
  files.push_back(art::maskOf("03322009.tex", 512, 128, [](cairo_t* cr, int w, int h) { ptuShape(cr, w, h, 0, true); }));
  files.push_back({"03322010.tex", 128, 512, [](cairo_t* cr, int w, int h) { paintHydLow(cr, w, h, kHydGreenLow, 0); }});
  files.push_back(art::colourOf("03322011.tex", 512, 128, [](cairo_t* cr, int w, int h) { ptuShape(cr, w, h, 0, false); }));
  files.push_back({"03322012.tex", 128, 512, [](cairo_t* cr, int w, int h) { paintHydLow(cr, w, h, kHydBlueLow, 1); }});
  files.push_back({"03322013.tex", 64, 64, [](cairo_t* cr, int w, int h) { fireValveShape(cr, w, h, true); }});
  files.push_back({"03322014.tex", 64, 64, [](cairo_t* cr, int w, int h) { fireValveShape(cr, w, h, false); }});
  files.push_back(art::colourOf("03322032.tex", 512, 128, [](cairo_t* cr, int w, int h) { ptuShape(cr, w, h, 1, false); }));
  files.push_back(art::colourOf("03322033.tex", 512, 128, [](cairo_t* cr, int w, int h) { ptuShape(cr, w, h, 2, false); }));

  // APU.
  files.push_back(art::colourOf("03322015.tex", 256, 16, apuIndexShape));
  files.push_back(art::maskOf("03322016.tex", 256, 16, apuIndexShape));
  files.push_back({"03322017.tex", 128, 256, apuBleedOpen});
  files.push_back({"03322018.tex", 128, 256, apuBleedShut});
  files.push_back({"03322019.tex", 128, 128, apuGenLink});

  // DOOR: open, closed cabin, closed cargo, and the spare door picture.
  files.push_back({"03322020.tex", 64, 128, [](cairo_t* cr, int w, int h) { doorShape(cr, w, h, art::kAmber, true); }});
  files.push_back({"03322021.tex", 64, 128, [](cairo_t* cr, int w, int h) { doorShape(cr, w, h, art::kWhite, false); }});
  files.push_back({"03322022.tex", 64, 128, [](cairo_t* cr, int w, int h) { doorShape(cr, w, h, art::kGreen, false); }});
  files.push_back({"03322023.tex", 64, 128, [](cairo_t* cr, int w, int h) { doorShape(cr, w, h, art::kGreen, false); }});

  // WHEEL gear symbols, locked and in transit.
  files.push_back({"03322024.tex", 256, 128, [](cairo_t* cr, int w, int h) { gearShape(cr, w, h, art::kGreen); }});
  files.push_back({"03322025.tex", 256, 128, [](cairo_t* cr, int w, int h) { gearShape(cr, w, h, art::kRed); }});

  // F/CTL.
  files.push_back(art::colourOf("03322026.tex", 128, 256, rudderShape));
  files.push_back(art::maskOf("03322027.tex", 128, 256, rudderShape));
  auto leftTip = [](cairo_t* cr, int w, int h) {
    surfaceShape(cr, w, h, kLeftAileron, kLeftAileron.x0 + 0.004, kLeftAileron.x1 - 0.004);
  };
  auto rightTip = [](cairo_t* cr, int w, int h) {
    surfaceShape(cr, w, h, kRightElevator, kRightElevator.x1 - 0.004, kRightElevator.x0 + 0.004);
  };
  files.push_back(art::colourOf("03322028.tex", 64, 32, leftTip));
  files.push_back(art::maskOf("03322029.tex", 64, 32, leftTip));
  files.push_back(art::colourOf("03322030.tex", 64, 32, rightTip));
  files.push_back(art::maskOf("03322031.tex", 64, 32, rightTip));
  files.push_back({"03322034.tex", 64, 256, paintSpoiler});
}
