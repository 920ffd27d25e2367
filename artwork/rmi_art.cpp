// The RMI: compass card, the single-bar needle 1, the double-bar needle 2
// and the bezel with its lubber mark.
#include <cmath>
#include <string>

#include "art.h"
#include "standby/rmi_geometry.h"

using namespace rmigeo;

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

// Text centred on (x, y) in the y-up space of mapRect, turned by
// angleDeg counter-clockwise.
void label(cairo_t* cr, double x, double y, double angleDeg, const std::string& text) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angleDeg * kDeg);
  cairo_scale(cr, 1, -1);
  art::centredText(cr, 0, 0, text);
  cairo_restore(cr);
}

void paintCard(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -kCardHalf, kCardHalf, -kCardHalf, kCardHalf);
  art::rgb(cr, 0x080808);
  cairo_paint(cr);
  art::rgb(cr, art::kWhite);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  // Heading h lies h degrees clockwise from the top, so that turning the
  // card counter-clockwise by the heading brings it under the lubber mark.
  const double outer = kWindowRadius - 0.005;
  for (int hdg = 0; hdg < 360; hdg += 5) {
    const double a = (90 - hdg) * kDeg;
    const double len = hdg % 10 == 0 ? 0.085 : 0.045;
    cairo_set_line_width(cr, hdg % 10 == 0 ? 0.013 : 0.009);
    cairo_move_to(cr, (outer - len) * std::cos(a), (outer - len) * std::sin(a));
    cairo_line_to(cr, outer * std::cos(a), outer * std::sin(a));
    cairo_stroke(cr);
  }
  static const char* const kNames[12] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
  for (int i = 0; i < 12; ++i) {
    const int hdg = i * 30;
    const double a = (90 - hdg) * kDeg;
    const bool cardinal = i % 3 == 0;
    art::font(cr, cardinal ? 0.13 : 0.11);
    const double r = 0.60;
    label(cr, r * std::cos(a), r * std::sin(a), -hdg, kNames[i]);
  }
}

// Needle 1: one solid bar with an arrow head and a forked tail.
void needle1Shape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, kNeedleLeft, kNeedleRight, -kNeedle1HalfHeight, kNeedle1HalfHeight);
  auto outline = [&] {
    cairo_move_to(cr, 0.78, 0.0);
    cairo_line_to(cr, 0.56, 0.075);
    cairo_line_to(cr, 0.56, 0.014);
    cairo_line_to(cr, -0.64, 0.014);
    cairo_line_to(cr, -0.77, 0.07);
    cairo_line_to(cr, -0.70, 0.0);
    cairo_line_to(cr, -0.77, -0.07);
    cairo_line_to(cr, -0.64, -0.014);
    cairo_line_to(cr, 0.56, -0.014);
    cairo_line_to(cr, 0.56, -0.075);
    cairo_close_path(cr);
  };
  art::rgb(cr, 0x101010);
  cairo_set_line_width(cr, 0.012);
  outline();
  cairo_stroke(cr);
  art::rgb(cr, art::kGreen);
  outline();
  cairo_fill(cr);
}

// Needle 2: a hollow double bar, told apart from needle 1 by its shape.
void needle2Shape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, kNeedleLeft, kNeedleRight, -kNeedle2HalfHeight, kNeedle2HalfHeight);
  auto outline = [&] {
    cairo_move_to(cr, 0.78, 0.0);
    cairo_line_to(cr, 0.58, 0.07);
    cairo_line_to(cr, 0.58, 0.032);
    cairo_line_to(cr, -0.64, 0.032);
    cairo_line_to(cr, -0.76, 0.07);
    cairo_line_to(cr, -0.70, 0.0);
    cairo_line_to(cr, -0.76, -0.07);
    cairo_line_to(cr, -0.64, -0.032);
    cairo_line_to(cr, 0.58, -0.032);
    cairo_line_to(cr, 0.58, -0.07);
    cairo_close_path(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  art::rgb(cr, 0x101010);
  cairo_set_line_width(cr, 0.03);
  outline();
  cairo_stroke(cr);
  art::rgb(cr, art::kWhite);
  cairo_set_line_width(cr, 0.016);
  outline();
  cairo_stroke(cr);
}

void bezelShape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -1, 1, -1, 1);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  art::rgb(cr, 0x3a3d40);
  cairo_rectangle(cr, -1, -1, 2, 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 0.99, 0, 2 * kPi);
  cairo_fill(cr);
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
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  art::rgb(cr, 0x050505);
  cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, kWindowRadius, 0, 2 * kPi);
  cairo_fill(cr);

  // Fixed marks every 45 degrees around the window; the lubber mark at the
  // top reaches over the card's edge.
  art::rgb(cr, art::kWhite);
  for (int a = 45; a < 360; a += 45) {
    const double r = (90 - a) * kDeg;
    cairo_save(cr);
    cairo_rotate(cr, r);
    cairo_move_to(cr, kWindowRadius + 0.005, 0);
    cairo_line_to(cr, kWindowRadius + 0.07, 0.025);
    cairo_line_to(cr, kWindowRadius + 0.07, -0.025);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  art::rgb(cr, art::kAmber);
  cairo_move_to(cr, 0, kWindowRadius - 0.1);
  cairo_line_to(cr, 0.04, kWindowRadius + 0.08);
  cairo_line_to(cr, -0.04, kWindowRadius + 0.08);
  cairo_close_path(cr);
  cairo_fill(cr);

  // Hub over the needles' pivot.
  art::rgb(cr, 0x6d7075);
  cairo_arc(cr, 0, 0, 0.06, 0, 2 * kPi);
  cairo_fill(cr);
  art::rgb(cr, 0x1b1c1e);
  cairo_arc(cr, 0, 0, 0.045, 0, 2 * kPi);
  cairo_fill(cr);
}

}  // namespace

void addRmiArt(std::vector<ArtFile>& files) {
  files.push_back({"01210000.tex", kCardSize, kCardSize, paintCard});
  files.push_back(art::colourOf("01210001.tex", kNeedleWidth, kNeedleHeight, needle1Shape));
  files.push_back(art::maskOf("01210002.tex", kNeedleWidth, kNeedleHeight, needle1Shape));
  files.push_back(art::colourOf("01210003.tex", kNeedleWidth, kNeedleHeight, needle2Shape));
  files.push_back(art::maskOf("01210004.tex", kNeedleWidth, kNeedleHeight, needle2Shape));
  files.push_back(art::colourOf("01210005.tex", kBezelSize, kBezelSize, bezelShape));
  files.push_back(art::maskOf("01210006.tex", kBezelSize, kBezelSize, bezelShape));
}
