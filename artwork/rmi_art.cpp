// The RMI: compass card, the single-bar needle 1, the double-bar needle 2
// and the bezel with its lubber mark.
#include <cmath>
#include <string>

#include "art.h"
#include "standby_art.h"
#include "standby/rmi_geometry.h"

using namespace rmigeo;
using art::kDeg, art::label, art::mapRect, art::tick;

namespace {

void paintCard(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -kCardHalf, kCardHalf, -kCardHalf, kCardHalf);
  art::rgb(cr, 0x080808);
  cairo_paint(cr);
  art::rgb(cr, art::kWhite);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  // Heading h lies h degrees clockwise from the top, so that turning the
  // card counter-clockwise by the heading brings it under the lubber mark.
  for (int hdg = 0; hdg < 360; hdg += 5) {
    const double len = hdg % 10 == 0 ? kTenTickLength : kFiveTickLength;
    tick(cr, 90 - hdg, kTickOuter - len, kTickOuter, hdg % 10 == 0 ? 0.013 : 0.009);
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
  cairo_scale(cr, kNeedle1Head, 1);  // the outline below has its head at +x
  auto outline = [&] {
    const double shaft = kNeedle1ShaftHalf;
    cairo_move_to(cr, kNeedleTip, 0.0);
    cairo_line_to(cr, 0.56, 0.075);
    cairo_line_to(cr, 0.56, shaft);
    cairo_line_to(cr, -0.64, shaft);
    cairo_line_to(cr, -0.77, 0.07);
    cairo_line_to(cr, -0.70, 0.0);
    cairo_line_to(cr, -0.77, -0.07);
    cairo_line_to(cr, -0.64, -shaft);
    cairo_line_to(cr, 0.56, -shaft);
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
  cairo_scale(cr, kNeedle2Head, 1);  // the outline below has its head at +x
  auto outline = [&] {
    const double bar = kNeedle2BarOffset;
    cairo_move_to(cr, kNeedleTip, 0.0);
    cairo_line_to(cr, 0.58, 0.07);
    cairo_line_to(cr, 0.58, bar);
    cairo_line_to(cr, -0.64, bar);
    cairo_line_to(cr, -0.76, 0.07);
    cairo_line_to(cr, -0.70, 0.0);
    cairo_line_to(cr, -0.76, -0.07);
    cairo_line_to(cr, -0.64, -bar);
    cairo_line_to(cr, 0.58, -bar);
    cairo_line_to(cr, 0.58, -0.07);
    cairo_close_path(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  art::rgb(cr, 0x101010);
  cairo_set_line_width(cr, 0.03);
  outline();
  cairo_stroke(cr);
  art::rgb(cr, art::kWhite);
  cairo_set_line_width(cr, kNeedle2BarWidth);
  outline();
  cairo_stroke(cr);
}

void bezelShape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -1, 1, -1, 1);
  art::bezelRing(cr, kWindowRadius);

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
  art::hub(cr, 0.06, 0.045, 0x1b1c1e);
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
