// The cockpit clock: a grey bezel with three display windows (chronometer,
// time of day, elapsed time) and its digit strip of seven-segment glyphs.
#include <cmath>

#include "art.h"
#include "standby_art.h"
#include "standby/clock_geometry.h"

using namespace clockgeo;

namespace {

constexpr unsigned kLit = 0xf4f1dc;
constexpr unsigned kUnlit = 0x1c1c1a;

// Segments a to g of a digit in a unit box 0..1 wide, 0..2 tall (y down).
void segment(cairo_t* cr, int which) {
  const double t = 0.2, g = 0.04;  // thickness and gap
  auto horizontal = [&](double y) {
    cairo_move_to(cr, g + t / 2, y);
    cairo_line_to(cr, g + t, y - t / 2);
    cairo_line_to(cr, 1 - g - t, y - t / 2);
    cairo_line_to(cr, 1 - g - t / 2, y);
    cairo_line_to(cr, 1 - g - t, y + t / 2);
    cairo_line_to(cr, g + t, y + t / 2);
    cairo_close_path(cr);
  };
  auto vertical = [&](double x, double y0, double y1) {
    cairo_move_to(cr, x, y0 + g + t / 2);
    cairo_line_to(cr, x + t / 2, y0 + g + t);
    cairo_line_to(cr, x + t / 2, y1 - g - t);
    cairo_line_to(cr, x, y1 - g - t / 2);
    cairo_line_to(cr, x - t / 2, y1 - g - t);
    cairo_line_to(cr, x - t / 2, y0 + g + t);
    cairo_close_path(cr);
  };
  const double l = t / 2, r = 1 - t / 2;
  switch (which) {
    case 0: horizontal(t / 2); break;
    case 1: vertical(r, 0, 1); break;
    case 2: vertical(r, 1, 2); break;
    case 3: horizontal(2 - t / 2); break;
    case 4: vertical(l, 1, 2); break;
    case 5: vertical(l, 0, 1); break;
    case 6: horizontal(1); break;
  }
}

constexpr unsigned char kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};

// A seven-segment digit in the box (x, y, w, h), slanted a little as real
// display digits are; unlit segments are drawn faintly.
void sevenSegment(cairo_t* cr, double x, double y, double w, double h, int digit, bool ghosts) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_matrix_t skew;
  cairo_matrix_init(&skew, w, 0, -0.08 * w, h / 2, 0.16 * w, 0);
  cairo_transform(cr, &skew);
  for (int s = 0; s < 7; ++s) {
    const bool lit = digit >= 0 && (kSegments[digit] >> s & 1);
    if (!lit && !ghosts) continue;
    art::rgb(cr, lit ? kLit : kUnlit);
    segment(cr, s);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void colon(cairo_t* cr, double cx, double top, double bottom, double r) {
  art::rgb(cr, kLit);
  const double y1 = top + (bottom - top) * 0.3, y2 = top + (bottom - top) * 0.7;
  cairo_arc(cr, cx, y1, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, cx, y2, r, 0, 2 * M_PI);
  cairo_fill(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void button(cairo_t* cr, double cx, double cy, double r, const char* label) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 6, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.42, 0.43, 0.45);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.16, 0.17, 0.18);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  art::rgb(cr, art::kWhite);
  art::font(cr, r * 0.55);
  art::centredText(cr, cx, cy, label);
}

void paintFace(cairo_t* cr, int w, int h) {
  const double s = w / 512.0;
  cairo_scale(cr, s, double(h) / 512.0);
  // Panel grey with a darker bezel and four corner screws.
  art::rgb(cr, 0x3a3d40);
  cairo_paint(cr);
  cairo_set_line_width(cr, 10);
  art::rgb(cr, 0x24262a);
  roundedRect(cr, 12, 12, 488, 488, 30);
  cairo_stroke(cr);
  art::cornerScrews(cr, 36.0, 476.0, 9, 6, 2.5);

  // Window for the time of day: the digit cells are drawn over it.
  const double x0 = (1 + kCellsLeft) * 256, x1 = (1 - kCellsLeft) * 256;
  const double yTop = (1 - kCellTop) * 256, yBottom = (1 - kCellBottom) * 256;
  art::rgb(cr, 0x050505);
  roundedRect(cr, x0 - 14, yTop - 14, x1 - x0 + 28, yBottom - yTop + 28, 8);
  cairo_fill(cr);
  art::rgb(cr, 0x5b5e62);
  cairo_set_line_width(cr, 3);
  roundedRect(cr, x0 - 14, yTop - 14, x1 - x0 + 28, yBottom - yTop + 28, 8);
  cairo_stroke(cr);
  art::rgb(cr, art::kWhite);
  art::font(cr, 20);
  art::alignedText(cr, x0 - 10, yTop - 22, "UTC", 0);
  art::font(cr, 14, false);
  art::alignedText(cr, x1 + 10, yTop - 22, "h  min  s", 1);

  // Chronometer window above and elapsed-time window below, both dark.
  auto smallWindow = [&](double top, const char* label, bool labelAbove) {
    const double wx = 150, ww = 212, wh = 64;
    art::rgb(cr, 0x050505);
    roundedRect(cr, wx, top, ww, wh, 6);
    cairo_fill(cr);
    art::rgb(cr, 0x5b5e62);
    roundedRect(cr, wx, top, ww, wh, 6);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) sevenSegment(cr, wx + 22 + i * 44 + (i >= 2 ? 8 : 0), top + 10, 30, 44, -1, true);
    art::rgb(cr, art::kWhite);
    art::font(cr, 20);
    art::centredText(cr, 256, labelAbove ? top - 16 : top + wh + 18, label);
  };
  smallWindow(92, "CHR", true);
  smallWindow(352, "ET", false);

  button(cr, 78, 118, 34, "CHR");
  button(cr, 434, 118, 34, "RST");
  button(cr, 78, 392, 34, "DATE");
  // Elapsed-time selector with its three positions.
  art::rgb(cr, 0x1b1c1e);
  cairo_arc(cr, 434, 392, 34, 0, 2 * M_PI);
  cairo_fill(cr);
  art::rgb(cr, 0x74777c);
  cairo_set_line_width(cr, 12);
  cairo_move_to(cr, 434, 392);
  cairo_line_to(cr, 434, 366);
  cairo_stroke(cr);
  art::rgb(cr, art::kWhite);
  art::font(cr, 13);
  art::centredText(cr, 434, 344, "RUN");
  art::centredText(cr, 390, 438, "STP");
  art::centredText(cr, 478, 438, "RST");
}

void paintStrip(cairo_t* cr, int w, int h) {
  // A texel column shows narrower on screen than it is tall, by the ratio of
  // the cell's shape on the face to its shape in the strip; widen the glyphs
  // by that ratio so they look right where they are drawn.
  const double cellPx = (kDigitTop - kDigitBottom) * h;
  const double screenRatio = kCellWidth / (kCellTop - kCellBottom);
  const double stripRatio = double(w) / cellPx;
  const double widen = stripRatio / screenRatio;
  const double glyphH = cellPx * 0.70;
  const double glyphW = std::min(glyphH * 0.46 * widen, w * 0.80);
  for (int d = 0; d <= 9; ++d) {
    const double top = (kDigitTop - (kDigitTop - d * double(kDigitStep))) * h;
    const double cy = top + cellPx / 2;
    sevenSegment(cr, (w - glyphW) / 2, cy - glyphH / 2, glyphW, glyphH, d, true);
  }
  const double colonTop = (1.0 - kColonTop) * h;
  colon(cr, w / 2.0, colonTop + 0.15 * (h - colonTop), h - 0.15 * (h - colonTop), 0.07 * w * widen);
}

}  // namespace

void addClockArt(std::vector<ArtFile>& files) {
  files.push_back({"01240000.tex", kFaceSize, kFaceSize, paintFace});
  files.push_back({"01240001.tex", kStripWidth, kStripHeight, paintStrip});
}
