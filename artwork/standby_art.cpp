#include "standby_art.h"

#include <cmath>

#include "art.h"

namespace art {

namespace {

// The bezel's metal, lit from the top left; a ring down to 0.945 when ring.
void rim(cairo_t* cr, bool ring) {
  cairo_pattern_t* rim = cairo_pattern_create_linear(-0.7, 0.7, 0.7, -0.7);
  cairo_pattern_add_color_stop_rgb(rim, 0, 0.38, 0.39, 0.41);
  cairo_pattern_add_color_stop_rgb(rim, 1, 0.10, 0.10, 0.11);
  cairo_set_source(cr, rim);
  cairo_arc(cr, 0, 0, 0.99, 0, 2 * kPi);
  if (ring) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  }
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
}

void dialScrews(cairo_t* cr) { cornerScrews(cr, -0.87, 0.87, 0.038, 0.026, 0.01); }

}  // namespace

void mapRect(cairo_t* cr, double px, double py, double pw, double ph, double x0, double x1, double y0, double y1) {
  cairo_translate(cr, px, py + ph);
  cairo_scale(cr, pw / (x1 - x0), -ph / (y1 - y0));
  cairo_translate(cr, -x0, -y0);
}

void label(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1, -1);
  centredText(cr, 0, 0, text);
  cairo_restore(cr);
}

void label(cairo_t* cr, double x, double y, double angleDeg, const std::string& text) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, angleDeg * kDeg);
  cairo_scale(cr, 1, -1);
  centredText(cr, 0, 0, text);
  cairo_restore(cr);
}

void rectPath(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
}

void tick(cairo_t* cr, double angleDeg, double r0, double r1, double width) {
  const double c = std::cos(angleDeg * kDeg), s = std::sin(angleDeg * kDeg);
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, r0 * c, r0 * s);
  cairo_line_to(cr, r1 * c, r1 * s);
  cairo_stroke(cr);
}

void cornerScrews(cairo_t* cr, double lo, double hi, double radius, double slot, double slotWidth) {
  for (double cx : {lo, hi})
    for (double cy : {lo, hi}) {
      rgb(cr, 0x6d7075);
      cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
      cairo_fill(cr);
      rgb(cr, 0x2a2c2f);
      cairo_set_line_width(cr, slotWidth);
      cairo_move_to(cr, cx - slot, cy - slot);
      cairo_line_to(cr, cx + slot, cy + slot);
      cairo_stroke(cr);
    }
}

void dialFace(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, -1, 1, -1, 1);
  rgb(cr, 0x3a3d40);
  cairo_paint(cr);
  dialScrews(cr);
  rim(cr, false);
  rgb(cr, 0x050505);
  cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  rgb(cr, kWhite);
}

void bezelRing(cairo_t* cr, double inner) {
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  rgb(cr, 0x3a3d40);
  rectPath(cr, -1, -1, 1, 1);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 0.99, 0, 2 * kPi);
  cairo_fill(cr);
  dialScrews(cr);
  rim(cr, true);
  rgb(cr, 0x050505);
  cairo_arc(cr, 0, 0, 0.945, 0, 2 * kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, inner, 0, 2 * kPi);
  cairo_fill(cr);
}

void taperedNeedle(cairo_t* cr, double rootHalf, double shoulderX, double shoulderHalf, double tipX) {
  rgb(cr, kWhite);
  cairo_move_to(cr, 0.0, rootHalf);
  cairo_line_to(cr, shoulderX, shoulderHalf);
  cairo_line_to(cr, tipX, 0.0);
  cairo_line_to(cr, shoulderX, -shoulderHalf);
  cairo_line_to(cr, 0.0, -rootHalf);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void hub(cairo_t* cr, double radius, double coreRadius, unsigned core) {
  rgb(cr, 0x6d7075);
  cairo_arc(cr, 0, 0, radius, 0, 2 * kPi);
  cairo_fill(cr);
  rgb(cr, core);
  cairo_arc(cr, 0, 0, coreRadius, 0, 2 * kPi);
  cairo_fill(cr);
}

void windowRim(cairo_t* cr, const drumgeo::Window& w, double grow) {
  rectPath(cr, w.x0 - grow, w.y0 - grow, w.x1 + grow, w.y1 + grow);
  cairo_fill(cr);
}

}  // namespace art
