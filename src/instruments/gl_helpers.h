#pragma once
#include <GL/gl.h>

#include "instruments/instrument.h"

// Drawing helpers shared by every instrument. All coordinates are the
// instrument's normalised square, -1 to 1.
namespace gldraw {

// Sets the viewport and front face for a slot; false when the slot is hidden.
bool beginInstrument(const Placement& p);

// Identity model-view rotated by the window's rotation angle about z.
void beginGroup(const InstrumentContext& ctx);

// One textured quad: corners lower left, lower right, upper right, upper left.
void texturedQuad(float x0, float y0, float x1, float y1, float z, float s0, float t0, float s1, float t1);

// The darkening red wash that a standby instrument draws last when the tint
// bit (bit 0 of word 17) is set.
void tintOverlay(const InstrumentContext& ctx, const FlightDataBlock& block);

}  // namespace gldraw
