// WHEEL page: gear symbols, gear doors and the four brake temperatures.
#include "ecam/sd/wheel_page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 47;
constexpr int kDoorMaskSlot = 6;
constexpr int kDoorSlot = 8;         // door in colour 2
constexpr int kDoorTransitSlot = 5;  // door in colour 6
constexpr int kGearSlot = 48;
constexpr int kGearTransitSlot = 49;
constexpr float kLeftGearZ = -0.1f;
constexpr float kGearZ = -0.11f;
constexpr float kDoorZ = -0.12f;
constexpr std::int32_t kColour = 2;
constexpr std::int32_t kTransitColour = 6;
constexpr float kMetresPerSecondToKt = 1.943844f;

constexpr float kDownAndLocked = 16300.0f;
constexpr float kDoorOpening = 0.016863406f;  // degrees per unit of gear travel
constexpr float kDoorClosing = 0.021413276f;
constexpr float kDoorWideOpen = -135.0f;
constexpr float kDoorLimit = -130.0f;

// Per brake: heating rate and target offset, cooling rate, the offset at rest.
struct BrakeRates {
  float heat, targetOffset, cool, restOffset;
};
constexpr BrakeRates kBrakes[4] = {
    {0.5f, 0.0f, 0.5f, -1.0f}, {0.4f, 5.0f, 0.45f, 2.0f}, {0.42f, 6.0f, 0.4f, -2.0f}, {0.504f, 2.0f, 0.5f, 1.0f}};

void heatTowards(float& t, float rate, float target) {
  // Never past the target; one already above it drops to it at once.
  t = t < target ? std::min(t + rate, target) : target;
}

void coolTowards(float& t, float rate, float ambient, float atAmbient) {
  t = t > ambient ? std::max(t - rate, ambient) : atAmbient;
}

void doorsAndGear(const SystemDisplay& d, const wheel::GearView& left, const wheel::GearView& nose,
                  const wheel::GearView& right) {
  using namespace sdgeo;
  const GLuint* tex = d.textures.data();
  glEnable(GL_TEXTURE_2D);
  auto gear = [&](const wheel::GearView& g, const Quad& q, float z) {
    if (!g.symbolShown) return;
    d.beginGroup();
    glBindTexture(GL_TEXTURE_2D, tex[g.symbolColour == kColour ? kGearSlot : kGearTransitSlot]);
    gldraw::texturedQuad(q.x0, q.y0, q.x1, q.y1, z, 0.0f, 0.0f, 1.0f, 1.0f);
  };
  gear(left, kGearLeft, kLeftGearZ);
  gear(nose, kGearNose, kGearZ);
  gear(right, kGearRight, kGearZ);

  auto door = [&](const wheel::GearView& g, Point hinge, float rotation, float x0, float x1) {
    d.beginGroup();
    glTranslatef(hinge.x, hinge.y, 0.0f);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
    gldraw::maskedQuad(tex[kDoorMaskSlot], tex[g.doorColour == kColour ? kDoorSlot : kDoorTransitSlot], x0,
                       -kGearDoorHalfWidth, x1, kGearDoorHalfWidth, kDoorZ);
  };
  door(left, kDoorHingeLeft, -left.doorAngle, -kMainDoorLength, 0.0f);
  door(right, kDoorHingeRight, right.doorAngle, 0.0f, kMainDoorLength);
  door(nose, kDoorHingeNoseLeft, nose.doorAngle, 0.0f, kNoseDoorLength);
  door(nose, kDoorHingeNoseRight, -nose.doorAngle, -kNoseDoorLength, 0.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace

namespace wheel {

BrakeModel& brakeModel() {
  static BrakeModel model;
  return model;
}

BrakeInputs brakeInputs(const FlightDataBlock& block) {
  BrakeInputs in;
  in.tatC = block.f32(8) * 250.0f;
  in.indicatedKt = block.f32(25);
  in.brakeInput = block.f32(41);
  in.groundSpeedKt = block.f32(227) * kMetresPerSecondToKt;
  in.onGround = (block.u32(221) & 2u) != 0;
  return in;
}

void stepBrakes(BrakeModel& m, const BrakeInputs& in) {
  const float ambient = in.tatC > 0.0f ? in.tatC : 0.0f;  // NaN gives 0 too
  float& s = m.touchdownHeat;

  if (!in.onGround) {
    m.touchdownArmed = true;
  } else if (m.touchdownArmed && in.indicatedKt > 100.0f) {
    if (s > 100.0f) {
      m.touchdownArmed = false;
    } else {
      s += 2.0f;
      if (s > 100.0f) m.touchdownArmed = false;
    }
  }
  // The pulse dies away to nothing; left below 0 it would cool the brakes
  // for the rest of the run.
  if (s >= 0.0f && s < 103.0f && !m.touchdownArmed) s = std::max(s - 0.1f, 0.0f);

  if (in.onGround && in.brakeInput >= 100.0f) {
    const float x = in.groundSpeedKt * 0.82f + ambient;
    for (int i = 0; i < 4; ++i) heatTowards(m.temperature[i], kBrakes[i].heat, x + kBrakes[i].targetOffset);
  } else {
    for (int i = 0; i < 4; ++i) coolTowards(m.temperature[i], kBrakes[i].cool, ambient, i == 3 ? ambient + 1.0f : ambient);
  }
  if (in.brakeInput == 0.0f) {
    const float rest = ambient + s;
    for (int i = 0; i < 4; ++i) m.temperature[i] = rest + kBrakes[i].restOffset;
  }
}

GearView gearView(float lever, float p) {
  GearView g;
  if (lever == 0.0f) {
    if (p > 0.0f && p < kDownAndLocked) {
      g.symbolShown = true;
      if (p > 8000.0f && p <= 16000.0f) {
        g.doorAngle = -(16000.0f - p) * kDoorOpening;
      } else if (p >= 6000.0f && p <= 8000.0f) {
        g.doorColour = g.symbolColour = kTransitColour;
        g.doorAngle = kDoorWideOpen;
      } else if (p < 6000.0f) {
        g.doorAngle = (6000.0f - p) * kDoorClosing + kDoorWideOpen;
        g.symbolShown = false;
      }
    }
  } else if (lever > 0.0f) {
    if (p < kDownAndLocked) {
      if (p >= 0.0f && p <= 8000.0f) {
        g.doorAngle = -p * kDoorOpening;
      } else if (p > 8000.0f && p <= 10000.0f) {
        g.doorColour = g.symbolColour = kTransitColour;
        g.doorAngle = kDoorWideOpen;
        g.symbolShown = true;
      } else if (p > 10000.0f) {
        g.doorAngle = (p - 10000.0f) * kDoorClosing + kDoorWideOpen;
        g.symbolShown = true;
      }
    } else if (p >= kDownAndLocked) {
      g.symbolShown = true;
    }
  }
  g.doorAngle = std::clamp(g.doorAngle, kDoorLimit, 0.0f);
  return g;
}

}  // namespace wheel

void resetWheelPage() { wheel::brakeModel() = wheel::BrakeModel{}; }

bool drawWheelPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const wheel::BrakeInputs in = wheel::brakeInputs(block);
  wheel::BrakeModel& m = wheel::brakeModel();
  wheel::stepBrakes(m, in);
  const float lever = block.f32(215);
  const wheel::GearView nose = wheel::gearView(lever, block.f32(216));
  const wheel::GearView left = wheel::gearView(lever, block.f32(217));
  const wheel::GearView right = wheel::gearView(lever, block.f32(218));

  d.drawBackground(kBackgroundSlot);
  doorsAndGear(d, left, nose, right);

  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  for (int i = 0; i < 4; ++i) {
    // The sign is the brake's own, in the sign cell; the digits its magnitude.
    const std::int32_t t = truncToInt32(m.temperature[i]);
    if (t < 0) DrawText(f, "-", kColour, kBrakeSize, kBrakeSignX[i], kBrakeSignY, kElementZ);
    const std::int32_t magnitude = t < 0 ? (t == INT32_MIN ? INT32_MAX : -t) : t;
    DrawNumber(f, magnitude, 3, 1, 1, kColour, kBrakeSize, kBrakeX[i], kBrakeY, kElementZ);
  }
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
