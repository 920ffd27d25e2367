#include "standby/rmi.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Where the card and the needles turn, from the heading (word 14), bearing 1
// (word 64), needle 2's presence (word 62) and bearing (word 75, 180/32768
// degrees a step) and the needle 2 off bits (word 59). How they are drawn
// at those turns is checked against the reference pictures.
TEST(RmiTurns, ParkingBearingsAndUndrawableTurns) {
  struct {
    float heading, bearing1, present2, bearing2;
    std::uint32_t word59;
    float card, needle1, needle2;
  } cases[] = {
      {30, 45, 1, 8192, 0, 30, 45, -105},
      {100, 200, 5, -8192, 0, 100, -110, 55},
      {30, 0, 1, 8192, 0, 30, 0, 0},      // no bearing 1 parks both
      {30, -0.0f, 1, 8192, 0, 30, 0, 0},  // -0 is 0
      {30, 45, 0, 8192, 0, 30, 45, 0},    // needle 2 input absent
      {30, 45, 1, 8192, 128, 30, 45, 0},
      {30, 45, 1, 8192, 255, 30, 45, 0},
      {30, 45, 1, 8192, 127, 30, 45, -105},
      {30, 45, 1, 8192, 256, 30, 45, -105},
      {0, 0, 0, 0, 0, 0, 0, 0},
      {400, -300, 1, 65536, 0, 400, 390, -50},  // passed on as they are
      {237.5f, 12.5f, 1, 30000, 0, 237.5f, 77.5f, -17.294922f},
      {NAN, 45, 1, 8192, 0, 0, 45, 0},       // a NaN heading leaves needle 2 no bearing either
      {30, NAN, 1, 8192, 0, 30, 0, -105},    // NaN is not 0: needle 2 keeps its bearing
      {30, 45, NAN, 8192, 0, 30, 45, -105},  // nor does NaN mean absent
      {30, 45, 1, INFINITY, 0, 30, 45, 0},
      {-INFINITY, -INFINITY, 1, 8192, 0, 0, 0, 0},
      {3.4e38f, 45, 1, -3.4e38f, 0, 3.4e38f, 45, 0},  // the difference overflows
  };
  for (const auto& c : cases) {
    FlightDataBlock b;
    b.setF32(14, c.heading);
    b.setF32(64, c.bearing1);
    b.setF32(62, c.present2);
    b.setF32(75, c.bearing2);
    b.setU32(59, c.word59);
    const Rmi::Turns t = Rmi::turns(b);
    SCOPED_TRACE(testing::Message() << "heading " << c.heading << " bearing1 " << c.bearing1 << " word62 "
                                    << c.present2 << " word75 " << c.bearing2 << " word59 " << c.word59);
    EXPECT_FLOAT_EQ(t.card, c.card);
    EXPECT_FLOAT_EQ(t.needle1, c.needle1);
    EXPECT_FLOAT_EQ(t.needle2, c.needle2);
  }
}

}  // namespace
