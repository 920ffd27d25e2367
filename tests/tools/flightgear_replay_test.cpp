// Packets recorded from a real FlightGear, through the bridge's parsing and
// composition, into the instruments offscreen: what a pilot would see.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "compose.h"
#include "flightgear.h"
#include "ecam/sd/sd_geometry.h"
#include "ecam/sd/system_display.h"
#include "standby/attitude_geometry.h"
#include "standby/readings.h"

using namespace dialprobe;

namespace {

// One recorded packet: the capture file under tests/tools/captures and the
// line's time stamp, parsed the way a320-bridge parses a datagram.
struct Moment {
  const char* file;
  const char* seconds;
  const char* what;
};

void PrintTo(const Moment& m, std::ostream* os) { *os << m.what; }

flightgear::Packet packetAt(const Moment& m) {
  std::ifstream in(std::string(A320_CAPTURES_DIR) + "/" + m.file);
  EXPECT_TRUE(in) << m.file;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    if (line.substr(0, tab) != m.seconds) continue;
    flightgear::Packet p{};
    std::string error;
    EXPECT_TRUE(flightgear::parsePacket(line.substr(tab + 1), p, error)) << m.what << ": " << error;
    return p;
  }
  ADD_FAILURE() << "no packet at " << m.seconds << " in " << m.file;
  return {};
}

FlightDataBlock compose(const flightgear::Packet& p) {
  bridge::AircraftState s;
  flightgear::toState(p, s);
  FlightDataBlock b;
  bridge::composeBlock(s, {}, b);
  return b;
}

const Moment kUfoLevel{"flightgear-ufo-manoeuvres.txt", "167.969", "ufo level at 9751 ft"};
const Moment kUfoLeftRoll{"flightgear-ufo-manoeuvres.txt", "173.026", "ufo rolling left"};
const Moment kUfoNoseUpRightRoll{"flightgear-ufo-manoeuvres.txt", "232.793", "ufo nose up, rolled right"};
const Moment kC172pBelowSeaLevel{"flightgear-c172p-parked.txt", "10.909", "c172p parked at -45.9 ft"};
const Moment kC172pAboveSeaLevel{"flightgear-c172p-parked.txt", "85.785", "c172p parked at +1.8 ft"};
const Moment kEveryMoment[] = {kUfoLevel, kUfoLeftRoll, kUfoNoseUpRightRoll, kC172pBelowSeaLevel, kC172pAboveSeaLevel};

constexpr int kSide = 400;

class FlightGearMoment : public testing::TestWithParam<Moment> {};

// The standby horizon: tilted as the aircraft is banked (right end higher in
// a right bank), below the aircraft symbol when the nose is up, by the
// pitch the instrument can show (25 degrees at most).
TEST_P(FlightGearMoment, StandbyHorizonShowsTheAircraftsAttitude) {
  const flightgear::Packet p = packetAt(GetParam());
  Bench bench(A320_ATTITUDE, kSide);
  ASSERT_TRUE(bench.made);
  const Frame f = bench.render(compose(p));
  const auto h = readings::horizon(f);
  ASSERT_TRUE(h.has_value()) << "no horizon seen";
  const double rightWingDown = p[flightgear::Roll], noseUp = std::clamp(p[flightgear::Pitch], -25.0, 25.0);
  EXPECT_NEAR(h->tiltDegrees, rightWingDown, 1.0);
  EXPECT_NEAR(h->belowCentre, noseUp * attitudegeo::kPitchStep, 0.012);
}

// Whatever the aircraft does, the heading under the lubber mark is the
// packet's heading.
TEST_P(FlightGearMoment, RmiCardShowsTheHeading) {
  const flightgear::Packet p = packetAt(GetParam());
  Bench bench(A320_RMI, kSide);
  ASSERT_TRUE(bench.made);
  const FlightDataBlock b = compose(p);
  ASSERT_EQ(b.f32(64), 0.0f) << "no station received: both needles parked along the x axis";
  EXPECT_NEAR(angleBetween(readings::rmiHeading(bench.render(b), {0.0}), p[flightgear::Heading]), 0, 0.5);
}

// Needle and counter read the packet's airspeed; the needle only where the
// scale has marks (from 60 kt up).
TEST_P(FlightGearMoment, StandbyAirspeedReadsThePacket) {
  flightgear::Packet p = packetAt(GetParam());
  Bench bench(A320_AIRSPEED, kSide);
  ASSERT_TRUE(bench.made);
  const double ias = p[flightgear::Ias];
  const Frame f = bench.render(compose(p));
  // Needle and second pointer, as far as they reach on either side.
  const std::vector<Occluder> pointers = {
      {airspeedgeo::dialAngle(float(ias)), -airspeedgeo::kCounterweightReach - 0.02, airspeedgeo::kPointerRight, 0.095},
      {airspeedgeo::dialAngle(float(p[flightgear::TargetSpeed])), -0.02,
       airspeedgeo::kPointerRight, 0.095}};
  EXPECT_NEAR(readings::airspeedCounter(f, pointers), ias, 0.3);
  if (ias < airspeedgeo::kScaleBottom) return;
  p[flightgear::Ias] = ias + 100;
  const Frame moved = bench.render(compose(p));
  using namespace airspeedgeo;
  const double at = readings::needleAngle(f, moved, 0.45, 0.72, {kMachSecond, kMachFirst, kUnits, kTens, kHundreds});
  EXPECT_NEAR(readings::knotsAt(at), ias, 1.5);
}

// Counter and needle read the packet's altitude; below sea level the
// counter shows NEG and the feet below, never a height above the sea.
TEST_P(FlightGearMoment, StandbyAltimeterReadsThePacket) {
  flightgear::Packet p = packetAt(GetParam());
  Bench bench(A320_ALTITUDE, 600);
  ASSERT_TRUE(bench.made);
  const double feet = p[flightgear::Altitude];
  const Frame f = bench.render(compose(p));
  const auto read = readings::altitudeCounter(
      f, {{altimetergeo::needleAngle(float(feet)), altimetergeo::kNeedleLeft - 0.02, altimetergeo::kNeedleRight,
           0.095}});
  EXPECT_EQ(read.negFlag, feet < 0);
  EXPECT_NEAR(read.feet, feet, 1.5);
  p[flightgear::Altitude] = feet + 400;
  const Frame moved = bench.render(compose(p));
  using namespace altimetergeo;
  const double at =
      readings::needleAngle(f, moved, 0.35, 0.6, {kTensOfFeet, kHundreds, kThousands, kTenThousands, kNegFlag});
  EXPECT_NEAR(readings::feetAt(at), std::fmod(feet + 1e6, 1000.0), 3);
}

INSTANTIATE_TEST_SUITE_P(FlightGear, FlightGearMoment, testing::ValuesIn(kEveryMoment));

TEST(FlightGear, NoseUpRightRollPutsTheSymbolInTheSky) {
  Bench bench(A320_ATTITUDE, kSide);
  ASSERT_TRUE(bench.made);
  const Frame f = bench.render(compose(packetAt(kUfoNoseUpRightRoll)));
  const auto h = readings::horizon(f);
  ASSERT_TRUE(h.has_value());
  EXPECT_GT(h->tiltDegrees, 30) << "the horizon's right end stands higher than its left";
  EXPECT_GT(h->belowCentre, 0.2) << "the horizon passes below the aircraft symbol";
  // Sky all round the symbol's wings, just above and below them.
  for (double x : {-0.2, -0.1, 0.1, 0.2})
    for (double y : {-0.045, 0.045}) EXPECT_TRUE(readings::sky(f.at(x, y))) << x << ", " << y;
}

// Both RMI needles with the station received: straight up with heading 090
// and the station due east, on the card's N with the station due north.
TEST(FlightGear, RmiNeedlesPointAtTheStation) {
  struct {
    double heading, station, screen;
  } cases[] = {{90, 90, 90}, {90, 0, 180}, {257.688, 151.39, 90 - (151.39 - 257.688)}, {30, 29.5, 90.5}};
  Bench bench(A320_RMI, kSide);
  ASSERT_TRUE(bench.made);
  for (const auto& c : cases) {
    flightgear::Packet p = packetAt(kUfoLevel);
    auto frame = [&](double station1, double station2) {
      p[flightgear::Heading] = c.heading;
      p[flightgear::Nav1Bearing] = station1;
      p[flightgear::Nav2Bearing] = station2;
      p[flightgear::Nav1InRange] = p[flightgear::Nav2InRange] = 1;
      return bench.render(compose(p));
    };
    const Frame seen = frame(c.station, c.station);
    const Frame needle1Away = frame(c.station + 90, c.station), needle2Away = frame(c.station, c.station + 90);
    SCOPED_TRACE(testing::Message() << "heading " << c.heading << ", station at " << c.station);
    using readings::RmiNeedle;
    EXPECT_NEAR(angleBetween(readings::rmiHeadAngle(seen, needle1Away, c.screen, RmiNeedle::One), c.screen), 0,
                1e-9);
    EXPECT_NEAR(angleBetween(readings::rmiHeadAngle(seen, needle2Away, c.screen, RmiNeedle::Two), c.screen), 0,
                1e-9);
    EXPECT_NEAR(angleBetween(readings::rmiHeading(seen, {c.screen}), c.heading), 0, 0.5);
  }
}

// The F/CTL page of the ufo's pull-up and right roll: elevators up, right
// aileron up and left aileron down.
TEST(FlightGear, FlightControlPageShowsStickBackAndRightRoll) {
  sd::resetModuleState();
  Bench bench(A320_ECAM_SYSTEM, kSide);
  ASSERT_TRUE(bench.made);
  flightgear::Packet p = packetAt(kUfoNoseUpRightRoll);
  ASSERT_LT(p[flightgear::Elevator], 0) << "FlightGear's elevator is negative for stick back";
  ASSERT_GT(p[flightgear::Aileron], 0);
  auto frame = [&](double elevator, double aileron) {
    p[flightgear::Elevator] = elevator;
    p[flightgear::Aileron] = aileron;
    FlightDataBlock b = compose(p);
    b.setU32(40, 11u << 24);  // the F/CTL page, chosen by hand
    return bench.render(b);
  };
  const double elevator = p[flightgear::Elevator], aileron = p[flightgear::Aileron];
  const Frame centred = frame(0, 0), moved = frame(elevator, aileron);
  // Mean height of the marker's points that moved in, against its rest.
  auto shift = [&](const sdgeo::Quad& q) {
    const double x0 = std::min(q.x0, q.x1), x1 = std::max(q.x0, q.x1), rest = (q.y0 + q.y1) / 2;
    double sum = 0;
    int n = 0;
    for (double y = rest - 0.25; y <= rest + 0.25; y += 0.004)
      for (double x = x0 + 0.01; x <= x1 - 0.01; x += 0.004)
        if (brightness(moved.at(x, y)) - brightness(centred.at(x, y)) > 60) sum += y, ++n;
    EXPECT_GT(n, 10) << "the marker at x " << x0 << " did not move";
    return n ? sum / n - rest : 0.0;
  };
  EXPECT_GT(shift(sdgeo::kLeftElevator), 0.05);
  EXPECT_GT(shift(sdgeo::kRightElevator), 0.05);
  EXPECT_GT(shift(sdgeo::kRightAileron), 0.05);
  EXPECT_LT(shift(sdgeo::kLeftAileron), -0.05);
  sd::resetModuleState();
}

}  // namespace
