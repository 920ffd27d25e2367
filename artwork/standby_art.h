#pragma once
// Drawing pieces the round standby instruments have in common, in the y-up
// instrument units that mapRect sets up.
#include <cairo.h>

#include <string>

#include "standby/drum_geometry.h"

namespace art {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kDeg = kPi / 180.0;

// Paints in instrument units from here on: the rectangle x0..x1, y0..y1
// (y up) fills the pixel rectangle px, py, pw, ph.
void mapRect(cairo_t* cr, double px, double py, double pw, double ph, double x0, double x1, double y0, double y1);

// Upright text centred on (x, y) in the y-up space of mapRect.
void label(cairo_t* cr, double x, double y, const std::string& text);
// The same, turned by angleDeg counter-clockwise.
void label(cairo_t* cr, double x, double y, double angleDeg, const std::string& text);

void rectPath(cairo_t* cr, double x0, double y0, double x1, double y1);

// A stroke along the ray at angleDeg from radius r0 to r1.
void tick(cairo_t* cr, double angleDeg, double r0, double r1, double width);

// Four slotted screws at the corners (lo or hi on each axis).
void cornerScrews(cairo_t* cr, double lo, double hi, double radius, double slot, double slotWidth);

// Maps the picture to the dial's -1..1 square and paints the grey panel,
// corner screws and the round bezel the dial sits in; leaves white, square
// ended lines set for the marks.
void dialFace(cairo_t* cr, int w, int h);
// The same panel and bezel as a ring around an open hole of radius inner,
// for a picture laid over a moving card.
void bezelRing(cairo_t* cr, double inner);

// A white needle from its root at x = 0 tapering to the tip at tipX, its
// half widths given at the root and at the shoulder x.
void taperedNeedle(cairo_t* cr, double rootHalf, double shoulderX, double shoulderHalf, double tipX);

// The cap over a needle pivot: a grey disc with a dark core.
void hub(cairo_t* cr, double radius, double coreRadius, unsigned core);

// A counter window grown by grow on every side, filled with the source.
void windowRim(cairo_t* cr, const drumgeo::Window& w, double grow);

}  // namespace art
