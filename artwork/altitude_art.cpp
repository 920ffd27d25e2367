// The standby altimeter: dial face with the altitude and pressure-setting
// windows, its needle, and the digit strip of all its counters.
#include <cmath>
#include <string>

#include "art.h"
#include "standby_art.h"
#include "standby/altimeter_geometry.h"

using namespace altimetergeo;
using art::kDeg, art::kPi, art::label, art::mapRect, art::rectPath, art::tick, art::windowRim;

namespace {

void paintFace(cairo_t* cr, int w, int h) {
  art::dialFace(cr, w, h);

  // One turn is 1000 ft: a mark every 20 ft, a long one every 100 ft.
  const double outer = 0.925;
  for (int ft = 0; ft < 1000; ft += 20) {
    const double a = needleAngle(float(ft));
    if (ft % 100 == 0)
      tick(cr, a, outer - 0.15, outer, 0.02);
    else
      tick(cr, a, outer - 0.075, outer, 0.01);
  }
  art::font(cr, 0.16);
  for (int n = 0; n < 10; ++n) {
    const double a = needleAngle(float(n * 100)) * kDeg;
    label(cr, 0.68 * std::cos(a), 0.68 * std::sin(a), std::to_string(n));
  }

  // Altitude counter: one rim around each drum, a black opening inside.
  const drumgeo::Window altitude[] = {kTensOfFeet, kHundreds, kThousands, kTenThousands};
  art::rgb(cr, 0x5b5e62);
  for (const auto& win : altitude) windowRim(cr, win, 0.02);
  art::rgb(cr, 0x000000);
  for (const auto& win : altitude) windowRim(cr, win, 0.006);

  // Pressure settings: each a row of one-cell drums with a decimal point
  // showing through the gap before its last digits.
  auto row = [&](const drumgeo::Window& right, const drumgeo::Window& left, double grow) {
    drumgeo::Window all = right;
    all.x0 = left.x0;
    windowRim(cr, all, grow);
  };
  art::rgb(cr, 0x5b5e62);
  row(kInchesWindows[0], kInchesWindows[3], 0.02);
  row(kHectopascalWindows[0], kHectopascalWindows[4], 0.02);
  art::rgb(cr, 0x000000);
  row(kInchesWindows[0], kInchesWindows[3], 0.006);
  row(kHectopascalWindows[0], kHectopascalWindows[4], 0.006);
  art::rgb(cr, art::kWhite);
  const double pointY = kInchesWindows[0].y0 + 0.014;
  for (double x : {kInchesPointX, kHectopascalPointX}) {
    cairo_arc(cr, x, pointY, 0.0048, 0, 2 * kPi);
    cairo_fill(cr);
  }

  art::font(cr, 0.05);
  label(cr, (kHectopascalWindows[4].x0 + kHectopascalWindows[0].x1) / 2, -0.29, "HPA");
  label(cr, (kInchesWindows[3].x0 + kInchesWindows[0].x1) / 2, -0.29, "IN.HG");
  label(cr, (kTensOfFeet.x0 + kTensOfFeet.x1) / 2, 0.075, "FT");
  label(cr, 0.0, -0.13, "ALT");
}

void needleShape(cairo_t* cr, int w, int h) {
  mapRect(cr, 0, 0, w, h, kNeedleLeft, kNeedleRight, -kNeedleHalfHeight, kNeedleHalfHeight);
  art::taperedNeedle(cr, 0.03, 0.70, 0.016, 0.84);
  art::rgb(cr, 0x2b2c2e);
  cairo_move_to(cr, 0.0, 0.03);
  cairo_line_to(cr, -0.07, 0.03);
  cairo_arc(cr, -0.07, 0.0, 0.03, kPi / 2, 3 * kPi / 2);
  cairo_line_to(cr, 0.0, -0.03);
  cairo_close_path(cr);
  cairo_fill(cr);
  art::hub(cr, 0.062, 0.047, 0x161718);
}

// Clips to cell k of the strip between s0 and s1 and maps it to the box the
// given window shows it in, so what is painted keeps its shape on the dial.
void enterCell(cairo_t* cr, int w, int h, const drumgeo::Window& win, double s0, double s1, int k) {
  const double cellPx = double(h) / drumgeo::kCells;
  const double top = h - (k + 1) * cellPx;
  const double x0 = s0 * w, x1 = s1 * w;
  cairo_rectangle(cr, x0, top, x1 - x0, cellPx);
  cairo_clip(cr);
  const double cellH = drumgeo::cellHeightOnScreen(win);
  const double unitsPerS = (win.x1 - win.x0) / (win.s1 - win.s0);
  mapRect(cr, x0, top, x1 - x0, cellPx, 0, (s1 - s0) * unitsPerS, -cellH / 2, cellH / 2);
}

void cellText(cairo_t* cr, int w, int h, const drumgeo::Window& win, double s0, double s1, int k, double size,
              const std::string& text) {
  cairo_save(cr);
  enterCell(cr, w, h, win, s0, s1, k);
  const double unitsPerS = (win.x1 - win.x0) / (win.s1 - win.s0);
  art::rgb(cr, art::kWhite);
  art::font(cr, size);
  label(cr, (s1 - s0) * unitsPerS / 2, 0.0, text);
  cairo_restore(cr);
}

void paintDrum(cairo_t* cr, int w, int h) {
  art::rgb(cr, 0x0c0c0c);
  cairo_paint(cr);
  // The shared digits sit between the centres of the altitude and the wider
  // pressure columns so both windows show them nearly centred.
  const double digitS0 = kDigitS0, digitS1 = kDigitS1 + 0.02;
  for (int k = 0; k < drumgeo::kCells; ++k) {
    const std::string digit = std::to_string(drumgeo::cellDigit(k));
    if (k != 0) {
      cellText(cr, w, h, kTenThousands, kTenThousandsS0, kTenThousandsS1, k, 0.2, digit);
      // A leading zero of a pressure setting is a blank drum.
      cellText(cr, w, h, kThousands, digitS0, digitS1, k, 0.2, digit);
    }
    cellText(cr, w, h, kTensOfFeet, kTensOfFeetS0, kTensOfFeetS1, k, 0.105, digit + "0");
  }
  // Below sea level the NEG flag: white letters on red, inset from its
  // column's edges so that neither neighbour picks up its colour.
  cairo_save(cr);
  enterCell(cr, w, h, kNegFlag, kNegS0, kNegS1, kNegCell);
  {
    const double cellH = drumgeo::cellHeightOnScreen(kNegFlag);
    const double width = kNegFlag.x1 - kNegFlag.x0, inset = 0.03;
    art::rgb(cr, 0xc81e1e);
    rectPath(cr, inset, -cellH / 2 + 0.03, width - inset, cellH / 2 - 0.03);
    cairo_fill(cr);
    art::rgb(cr, art::kWhite);
    art::font(cr, 0.062);
    label(cr, width / 2, 0.0, "NEG");
  }
  cairo_restore(cr);

  // Below 10 000 ft the ten-thousands drum shows a striped flag.
  cairo_save(cr);
  enterCell(cr, w, h, kTenThousands, kTenThousandsS0, kTenThousandsS1, 0);
  const double cellH = drumgeo::cellHeightOnScreen(kTenThousands);
  const double width = kTenThousands.x1 - kTenThousands.x0;
  art::rgb(cr, art::kWhite);
  rectPath(cr, 0.02, -cellH / 2 + 0.02, width - 0.02, cellH / 2 - 0.02);
  cairo_clip(cr);
  cairo_paint(cr);
  art::rgb(cr, 0x0c0c0c);
  for (double x = -cellH; x < width + cellH; x += 0.06) {
    cairo_move_to(cr, x, -cellH / 2);
    cairo_line_to(cr, x + 0.03, -cellH / 2);
    cairo_line_to(cr, x + 0.03 + cellH, cellH / 2);
    cairo_line_to(cr, x + cellH, cellH / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace

void addAltitudeArt(std::vector<ArtFile>& files) {
  files.push_back({"01031000.tex", kFaceSize, kFaceSize, paintFace});
  files.push_back(art::colourOf("01031001.tex", kNeedleWidth, kNeedleHeight, needleShape));
  files.push_back(art::maskOf("01031002.tex", kNeedleWidth, kNeedleHeight, needleShape));
  files.push_back({"01031003.tex", kDrumWidth, kDrumHeight, paintDrum});
}
