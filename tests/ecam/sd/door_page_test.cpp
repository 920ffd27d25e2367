// DOOR page: the ground elevation it keeps and the oxygen value over a
// climb.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ecam/sd/cruise_page.h"
#include "ecam/sd/door_page.h"
#include "ecam/sd/sd_geometry.h"
#include "page_test_support.h"

using namespace testing_support;
using namespace sdtest;

namespace {

struct DoorDisplay : PageDisplay {
  explicit DoorDisplay(int size = 256) : PageDisplay(size, 9, SdPage::Door) {}
};

FlightDataBlock flying(float speedKt, float altitudeFt) {
  FlightDataBlock b;
  b.setF32(25, speedKt);
  b.setF32(29, altitudeFt);
  return b;
}

std::int32_t elevation() { return sd::cabinState().groundElevationFt; }

// The value's blank leading cells lie under "OXY": read from its units cell.
constexpr double kOxyUnits = sdgeo::kOxyValue.x + 3 * 0.04424 * sdgeo::kOxySize;

std::string oxygenShown(const GlyphCapture& cap) { return cap.textAt(kOxyUnits, sdgeo::kOxyValue.y, 0.2); }

TEST(DoorPage, OxygenValue) {
  EXPECT_NEAR(sd::door::oxygen(0.3048), 3.1066, 1e-4);
  EXPECT_NEAR(sd::door::oxygen(0.0), 1013.25 * 0.0146 * 0.21, 1e-9);
  EXPECT_NEAR(sd::door::oxygen(3048.3), 2.889, 1e-3);
  EXPECT_LT(sd::door::oxygen(12192.6), sd::door::oxygen(3048.3));
  EXPECT_TRUE(std::isnan(sd::door::oxygen(1e6)));  // beyond the formula's atmosphere
}

// From a field at 1000 ft: on the ground, through 10000 ft above it, and
// above 40000 ft where the height stops growing.
TEST(DoorPage, OxygenOverAFlight) {
  DoorDisplay d(64);
  GlyphCapture cap(d.sd().textures.data());
  d.draw(flying(0, 1000));
  EXPECT_EQ(elevation(), 1000);
  EXPECT_EQ(oxygenShown(cap), "3.106") << cap.dump();
  EXPECT_EQ(cap.colourAt(kOxyUnits, sdgeo::kOxyValue.y, 0.2), 2);

  cap.clear();
  d.draw(flying(99.9f, 1500.7f));  // still rolling: the field follows
  EXPECT_EQ(elevation(), 1500);
  d.draw(flying(100, 1000));  // airborne: the field stays
  EXPECT_EQ(elevation(), 1500);
  d.draw(flying(0, 1000));
  EXPECT_EQ(elevation(), 1000);

  cap.clear();
  d.draw(flying(250, 11000));
  EXPECT_EQ(elevation(), 1000);
  EXPECT_EQ(oxygenShown(cap), "2.888") << cap.dump();  // 2.8886 truncated

  cap.clear();
  d.draw(flying(450, 40000));
  const std::string at40000 = oxygenShown(cap);
  EXPECT_EQ(at40000, "2.325") << cap.dump();
  cap.clear();
  d.draw(flying(450, 45000));
  EXPECT_EQ(oxygenShown(cap), at40000);

  // Far below the field the value grows past the one cell clear of the
  // label: a tens digit would sit on its "Y", so nothing is drawn.
  for (const auto& [altitude, shown] : {std::pair{-150000.0f, "8.372"}, std::pair{-200000.0f, ""}}) {
    cap.clear();
    d.draw(flying(450, altitude));
    EXPECT_EQ(oxygenShown(cap), shown) << altitude << "\n" << cap.dump();
    EXPECT_EQ(cap.textAt(sdgeo::kOxyLabel.x, sdgeo::kOxyLabel.y, 0.15), "OXY") << cap.dump();
  }
}

TEST(DoorPage, GroundElevationFromBadWords) {
  DoorDisplay d(32);
  d.draw(flying(0, 1e30f));
  EXPECT_EQ(elevation(), std::numeric_limits<std::int32_t>::max());
  d.draw(flying(0, NAN));
  EXPECT_EQ(elevation(), 0);
  d.draw(flying(0, 500));
  d.draw(flying(NAN, 800));  // no speed: not known to be on the ground
  EXPECT_EQ(elevation(), 500);
  d.draw(flying(-INFINITY, -800.9f));
  EXPECT_EQ(elevation(), -800);
}

}  // namespace
