// The standby attitude indicator: one atlas of pictures and one of masks,
// the same regions in both (the horizon background is never masked).
#include <cmath>
#include <string>

#include "art.h"
#include "standby_art.h"
#include "standby/attitude_geometry.h"

using namespace attitudegeo;
using art::kPi, art::label, art::mapRect, art::rectPath, art::tick;

namespace {

constexpr unsigned kSky = 0x2d6cb4;
constexpr unsigned kGround = 0x6e4524;
constexpr unsigned kSymbol = 0xffc21a;
constexpr unsigned kRing = 0x26282b;

// Runs paint clipped to the region, in the units of the quad it is drawn on.
template <typename Paint>
void inRegion(cairo_t* cr, int w, int h, const Region& r, const Quad& q, Paint paint) {
  cairo_save(cr);
  const double px = r.s0 * w, py = (1 - r.t1) * h, pw = (r.s1 - r.s0) * w, ph = (r.t1 - r.t0) * h;
  cairo_rectangle(cr, px, py, pw, ph);
  cairo_clip(cr);
  mapRect(cr, px, py, pw, ph, q.x0, q.x1, q.y0, q.y1);
  paint();
  cairo_restore(cr);
}

void skyAndGround(cairo_t* cr, const Quad& q) {
  art::rgb(cr, kSky);
  rectPath(cr, q.x0, 0, q.x1, q.y1);
  cairo_fill(cr);
  art::rgb(cr, kGround);
  rectPath(cr, q.x0, q.y0, q.x1, 0);
  cairo_fill(cr);
}

void horizon(cairo_t* cr) {
  skyAndGround(cr, kHorizonQuad);
  art::rgb(cr, art::kWhite);
  rectPath(cr, -1, -0.006, 1, 0.006);
  cairo_fill(cr);
}

// Sky and ground again under the ladder, so the moving scale carries its
// own horizon; its edges match the background and do not show.
void pitchScale(cairo_t* cr) {
  skyAndGround(cr, kPitchScaleQuad);
  art::rgb(cr, art::kWhite);
  rectPath(cr, kPitchScaleQuad.x0, -0.006, kPitchScaleQuad.x1, 0.006);
  cairo_fill(cr);
  // Strokes wide enough to survive the default 200-pixel slot, where the
  // atlas is sampled at about every fourth texel.
  art::font(cr, 0.068);
  for (int d = -35; d <= 35; d += 5) {
    if (d == 0) continue;
    const double y = d * kPitchStep;
    const bool ten = d % 10 == 0;
    const double half = ten ? 0.17 : 0.085;
    rectPath(cr, -half, y - 0.0065, half, y + 0.0065);
    cairo_fill(cr);
    if (ten) {
      const std::string n = std::to_string(std::abs(d));
      label(cr, -0.26, y, n);
      label(cr, 0.26, y, n);
    }
  }
}

void commandBar(cairo_t* cr) {
  auto bar = [&] {
    cairo_move_to(cr, -0.5, 0.011);
    cairo_line_to(cr, 0.5, 0.011);
    cairo_line_to(cr, 0.5, -0.06);
    cairo_line_to(cr, 0.478, -0.06);
    cairo_line_to(cr, 0.478, -0.011);
    cairo_line_to(cr, -0.478, -0.011);
    cairo_line_to(cr, -0.478, -0.06);
    cairo_line_to(cr, -0.5, -0.06);
    cairo_close_path(cr);
  };
  art::rgb(cr, 0x101010);
  cairo_set_line_width(cr, 0.012);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  bar();
  cairo_stroke(cr);
  art::rgb(cr, art::kMagenta);
  bar();
  cairo_fill(cr);
}

void fixedSymbol(cairo_t* cr) {
  // Pedestal rising from the bottom of the dial to the aircraft's centre.
  auto pedestal = [&] {
    cairo_move_to(cr, -0.028, -0.04);
    cairo_line_to(cr, 0.028, -0.04);
    cairo_line_to(cr, 0.13, -0.555);
    cairo_line_to(cr, -0.13, -0.555);
    cairo_close_path(cr);
  };
  art::rgb(cr, 0x1b1b1c);
  pedestal();
  cairo_fill(cr);
  art::rgb(cr, kSymbol);
  cairo_set_line_width(cr, 0.008);
  pedestal();
  cairo_stroke(cr);
  // Wings and centre dot, outlined so they read over sky and ground alike.
  auto wings = [&] {
    rectPath(cr, -0.24, -0.013, -0.07, 0.013);
    rectPath(cr, 0.07, -0.013, 0.24, 0.013);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 0.024, 0, 2 * kPi);
  };
  art::rgb(cr, 0x101010);
  cairo_set_line_width(cr, 0.01);
  wings();
  cairo_stroke(cr);
  art::rgb(cr, kSymbol);
  wings();
  cairo_fill(cr);
}

// The ring turns with the bank but not with the pitch, so it must not look
// like sky and ground: halves in those colours would show a second horizon
// that stays put while the real one moves.
void bankRing(cairo_t* cr) {
  const double inner = kRingInner, outer = 0.93;
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  art::rgb(cr, kRing);
  cairo_arc(cr, 0, 0, outer, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, inner, 0, 2 * kPi);
  cairo_fill(cr);
  art::rgb(cr, 0x151515);
  cairo_set_line_width(cr, 0.008);
  cairo_arc(cr, 0, 0, inner + 0.004, 0, 2 * kPi);
  cairo_stroke(cr);

  // Bank marks from the top: 10, 20, 30, 45, 60 and 90 degrees each way.
  art::rgb(cr, art::kWhite);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int side : {-1, 1})
    for (int b : {10, 20, 30, 45, 60, 90}) {
      const bool big = b == 30 || b == 60 || b == 90;
      tick(cr, 90 + side * b, big ? 0.765 : 0.81, kBankMarkOuter, big ? 0.016 : 0.011);
    }
  cairo_move_to(cr, 0, kBankMarkOuter);
  cairo_line_to(cr, 0.038, kBankPointerBase);
  cairo_line_to(cr, -0.038, kBankPointerBase);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void bezel(cairo_t* cr) {
  art::bezelRing(cr, kBezelInner);
  // Fixed bank index at the top, and fixed marks at 30 and 60 degrees.
  art::rgb(cr, kSymbol);
  cairo_move_to(cr, 0, kBezelInner - 0.005);
  cairo_line_to(cr, 0.045, 0.94);
  cairo_line_to(cr, -0.045, 0.94);
  cairo_close_path(cr);
  cairo_fill(cr);
  art::rgb(cr, art::kWhite);
  for (int b : {-60, -30, 30, 60}) tick(cr, 90 + b, 0.89, 0.935, 0.012);
}

void atlas(cairo_t* cr, int w, int h, bool withHorizon) {
  if (withHorizon) inRegion(cr, w, h, kHorizon, kHorizonQuad, [&] { horizon(cr); });
  inRegion(cr, w, h, kPitchScale, kPitchScaleQuad, [&] { pitchScale(cr); });
  inRegion(cr, w, h, kCommandBar, kCommandBarQuad, [&] { commandBar(cr); });
  inRegion(cr, w, h, kFixedSymbol, kFixedSymbolQuad, [&] { fixedSymbol(cr); });
  inRegion(cr, w, h, kBankRing, kBankRingQuad, [&] { bankRing(cr); });
  inRegion(cr, w, h, kBezel, kBezelQuad, [&] { bezel(cr); });
}

}  // namespace

void addAttitudeArt(std::vector<ArtFile>& files) {
  files.push_back(art::colourOf("01020050.tex", kAtlasSize, kAtlasSize,
                                [](cairo_t* cr, int w, int h) { atlas(cr, w, h, true); }));
  files.push_back(art::maskOf("01020051.tex", kAtlasSize, kAtlasSize,
                              [](cairo_t* cr, int w, int h) { atlas(cr, w, h, false); }));
}
