// F/CTL page: spoilers behind the page's windows, ailerons, elevators,
// rudder and the pitch trim readout.
#include "ecam/sd/fctl_page.h"

#include <algorithm>
#include <cmath>

#include "ecam/sd/masked_quad.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 50;
constexpr int kBackgroundMaskSlot = 51;
constexpr int kRudderSlot = 52, kRudderMaskSlot = 53;
constexpr int kLeftSurfaceSlot = 54, kLeftSurfaceMaskSlot = 55;
constexpr int kSpoilerSlot = 56;
constexpr int kRightElevatorSlot = 57, kRightElevatorMaskSlot = 58;
constexpr float kBlankZ = -0.08f;
constexpr float kSpoilerZ = -0.09f;
constexpr float kSurfaceZ = -0.11f;
constexpr float kBlankHalf = 0.9f;
constexpr std::int32_t kColour = 2;
// Spoiler values are unlimited; beyond this the quad is off the screen
// anyway, and huge values would only strain the clipper.
constexpr float kSpoilerDrawLimit = 2.0f;

float centredIfNan(float v) { return std::isnan(v) ? 0.0f : v; }

// NaN stays NaN through std::clamp; the inputs are cleaned before.
float limit(float v, float l) { return std::clamp(v, -l, l); }

}  // namespace

namespace fctl {

std::int32_t speedBrakeLevel(float lever) {
  static constexpr float kDetents[4] = {8283.0f, 10983.0f, 13683.0f, 16383.0f};
  for (int i = 0; i < 4; ++i)
    if (lever == kDetents[i]) return i + 1;
  return 0;
}

Surfaces surfaces(float pitch, float roll, float speedBrakeLever) {
  const float p = centredIfNan(pitch), r = centredIfNan(roll);
  const std::int32_t level = speedBrakeLevel(speedBrakeLever);
  const float e = 0.03f * float(level);
  Surfaces s{};
  float* v = s.spoiler;
  if (level <= 2) {
    v[0] = v[1] = e - 0.06f * r;
    v[2] = v[4] = e - 0.1f * r;
    v[3] = e - 0.14f * r;
    v[5] = v[7] = e + 0.1f * r;
    v[6] = e + 0.14f * r;
    v[8] = v[9] = e + 0.06f * r;
  } else {
    // With the brakes well out, roll uses less spoiler.
    v[0] = v[1] = e - 0.05f * r;
    v[2] = v[3] = v[4] = e - 0.07f * r;
    v[5] = v[6] = v[7] = e + 0.07f * r;
    v[8] = v[9] = e + 0.05f * r;
  }
  s.leftAileron = limit(r * -0.353f, sdgeo::kAileronLimit);
  s.rightAileron = limit(r * 0.353f, sdgeo::kAileronLimit);
  s.elevator = limit(p * 0.353f, sdgeo::kElevatorLimit);
  s.rudderDeg = limit(r * 30.0f, sdgeo::kRudderLimit);
  return s;
}

float pitchTrim(float raw) { return raw < 0.0f ? raw * 49.8f : raw * 49.876f; }

}  // namespace fctl

void resetFctlPage() {}

bool drawFctlPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const fctl::Surfaces s = fctl::surfaces(block.f32(163), block.f32(164), block.f32(211));
  const float trim = fctl::pitchTrim(block.f32(213));
  const GLuint* tex = d.textures.data();

  // Black behind the spoilers, so the windows show only what is drawn in them.
  d.beginGroup();
  glDisable(GL_BLEND);  // the spoilers replace what is under them
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  glBegin(GL_POLYGON);
  glVertex3f(-kBlankHalf, -kBlankHalf, kBlankZ);
  glVertex3f(kBlankHalf, -kBlankHalf, kBlankZ);
  glVertex3f(kBlankHalf, kBlankHalf, kBlankZ);
  glVertex3f(-kBlankHalf, kBlankHalf, kBlankZ);
  glEnd();
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, tex[kSpoilerSlot]);
  for (int i = 0; i < 10; ++i) {
    const Spoiler& q = kSpoilers[i];
    const float v = std::clamp(s.spoiler[i], -kSpoilerDrawLimit, kSpoilerDrawLimit);
    gldraw::texturedQuad(q.x0, v + q.low, q.x1, v + q.high, kSpoilerZ, 0.0f, 0.0f, 1.0f, 1.0f);
  }
  gldraw::maskedQuad(d.ctx, tex[kBackgroundMaskSlot], tex[kBackgroundSlot], -1.0f, -1.0f, 1.0f, 1.0f, kBackgroundZ);

  d.beginGroup();
  glTranslatef(kRudderPivot.x, kRudderPivot.y, 0.0f);
  glRotatef(s.rudderDeg, 0.0f, 0.0f, 1.0f);
  maskedQuad(tex, kRudderMaskSlot, kRudderSlot, kRudder, kSurfaceZ);

  d.beginGroup();
  auto shifted = [](Quad q, float dy) { return Quad{q.x0, q.y0 + dy, q.x1, q.y1 + dy}; };
  maskedQuad(tex, kLeftSurfaceMaskSlot, kLeftSurfaceSlot, shifted(kLeftAileron, s.leftAileron), kSurfaceZ);
  maskedQuad(tex, kLeftSurfaceMaskSlot, kLeftSurfaceSlot, shifted(kLeftElevator, s.elevator), kSurfaceZ);
  maskedQuad(tex, kLeftSurfaceMaskSlot, kLeftSurfaceSlot, shifted(kRightAileron, s.rightAileron), kSurfaceZ);
  maskedQuad(tex, kRightElevatorMaskSlot, kRightElevatorSlot, shifted(kRightElevator, s.elevator), kSurfaceZ);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);

  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  for (const Point& m : kFctlZeroMarks) DrawText(f, "-", kColour, kFctlZeroMarkSize, m.x, m.y, kElementZ);
  DrawText(f, trim < 0.0f ? "DN" : "UP", kColour, kTrimSize, kTrimDirection.x, kTrimDirection.y, kElementZ);
  // UP or DN says the direction; the digits show how far.
  DrawDecimal(f, std::fabs(trim), 2, 1, 1, 1, kColour, kTrimSize, kTrimValue.x, kTrimValue.y, kElementZ);
  DrawText(f, "I", kColour, kRudderIndexSize, kRudderIndex.x, kRudderIndex.y, kElementZ);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
