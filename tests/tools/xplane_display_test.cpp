// What a pilot sees when X-Plane flies: a fake X-Plane's datarefs through
// a320-bridge over loopback, received by the display's own receiver and
// drawn offscreen.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "ecam/ewd/engine_warning_display.h"
#include "ecam/sd/sd_geometry.h"
#include "ecam/sd/system_display.h"
#include "host/udp_receiver.h"
#include "standby/readings.h"
#include "support/glyph_text.h"
#include "support/loopback.h"
#include "tools/bridge_process.h"
#include "tools/fake_xplane.h"

using namespace dialprobe;
using namespace testing_support;

namespace {

const std::map<std::string, float> kClimbingRightTurn = {
    {"sim/cockpit2/gauges/indicators/pitch_AHARS_deg_pilot", 8},
    {"sim/cockpit2/gauges/indicators/roll_AHARS_deg_pilot", 15},
    {"sim/cockpit2/gauges/indicators/heading_AHARS_deg_mag_pilot", 90},
    {"sim/cockpit2/gauges/indicators/airspeed_kts_pilot", 250},
    {"sim/cockpit/autopilot/airspeed", 300},
    {"sim/cockpit2/gauges/indicators/altitude_ft_pilot", 12340},
    {"sim/cockpit2/gauges/actuators/barometer_setting_in_hg_pilot", 29.92f},
    {"sim/cockpit2/engine/indicators/N1_percent[0]", 85.2f},
    {"sim/cockpit2/engine/indicators/N1_percent[1]", 84.6f},
    {"sim/cockpit2/engine/indicators/N2_percent[0]", 90.1f},
    {"sim/cockpit2/engine/indicators/N2_percent[1]", 89.5f},
    {"sim/flightmodel2/engines/EGT_deg_cel[0]", 610},
    {"sim/flightmodel2/engines/EGT_deg_cel[1]", 605},
    {"sim/flightmodel2/controls/flap1_deploy_ratio", 1},
    {"sim/cockpit/switches/gear_handle_status", 1},
    {"sim/flightmodel2/gear/deploy_ratio[0]", 1},
    {"sim/flightmodel2/gear/deploy_ratio[1]", 1},
    {"sim/flightmodel2/gear/deploy_ratio[2]", 1},
    {"sim/flightmodel/position/y_agl", 600},
};

FlightDataBlock blockFromXPlane() {
  FakeXPlane xp;
  for (const auto& [path, value] : kClimbingRightTurn) xp.set(path, value);
  RecordingSink sink;
  const std::uint16_t display = freeUdpPort();
  UdpReceiver receiver;
  EXPECT_TRUE(receiver.open(display, "127.0.0.1"));
  BridgeProcess bridgeProcess({"--xplane", "127.0.0.1:" + std::to_string(xp.port()), "--port",
                               std::to_string(display), "--sd-page", "10"});
  FlightDataBlock b;
  for (int i = 0; i < 150 && !receiver.receive(b.bytes.data(), b.bytes.size(), 20); ++i) {
  }
  EXPECT_EQ(b.f32(25), 250.0f) << "no block from X-Plane: " << bridgeProcess.output();
  receiver.close();
  return b;
}

bool greenNear(const Frame& f, double x, double y) {
  for (double dx = -0.02; dx <= 0.02; dx += 0.005)
    for (double dy = -0.02; dy <= 0.02; dy += 0.005) {
      const Rgb c = f.at(x + dx, y + dy);
      if (c.g > 150 && c.r < 110 && c.b < 110) return true;
    }
  return false;
}

TEST(XPlaneDisplay, InstrumentsShowWhatXPlaneFlies) {
  const FlightDataBlock b = blockFromXPlane();

  {  // A climbing right turn: the horizon's right end higher, below the symbol.
    Bench bench(A320_ATTITUDE, 400);
    ASSERT_TRUE(bench.made);
    const auto h = readings::horizon(bench.render(b));
    ASSERT_TRUE(h.has_value());
    EXPECT_NEAR(h->tiltDegrees, 15, 1.0);
    EXPECT_NEAR(h->belowCentre, 8 * attitudegeo::kPitchStep, 0.012);
  }
  {
    Bench bench(A320_AIRSPEED, 400);
    ASSERT_TRUE(bench.made);
    const std::vector<Occluder> pointers = {
        {airspeedgeo::dialAngle(250), -airspeedgeo::kCounterweightReach - 0.02, airspeedgeo::kPointerRight, 0.095},
        {airspeedgeo::dialAngle(300), -0.02, airspeedgeo::kPointerRight, 0.095}};
    EXPECT_NEAR(readings::airspeedCounter(bench.render(b), pointers), 250, 0.3);
  }
  {
    Bench bench(A320_ALTITUDE, 600);
    ASSERT_TRUE(bench.made);
    const auto read = readings::altitudeCounter(
        bench.render(b),
        {{altimetergeo::needleAngle(12340), altimetergeo::kNeedleLeft - 0.02, altimetergeo::kNeedleRight, 0.095}});
    EXPECT_FALSE(read.negFlag);
    EXPECT_NEAR(read.feet, 12340, 1.5);
  }
  {  // No station received: both needles parked along the x axis.
    Bench bench(A320_RMI, 400);
    ASSERT_TRUE(bench.made);
    EXPECT_NEAR(angleBetween(readings::rmiHeading(bench.render(b), {0.0}), 90), 0, 0.5);
  }
  {  // Engine readouts and the flap detent.
    Bench bench(A320_ECAM_ENGINE, 400);
    ASSERT_TRUE(bench.made);
    const auto* ewd = static_cast<const EngineWarningDisplay*>(bench.ow.window->instrument(0));
    GlyphCapture cap(ewd->textures.data());
    bench.render(b);
    struct {
      double x, y;
      const char* text;
    } readouts[] = {{-0.69, 0.515, "85.2"}, {-0.14, 0.515, "84.6"}, {-0.65, 0.16, "610"}, {-0.1, 0.16, "605"},
                    {-0.73, -0.03, "90.1"}, {-0.11, -0.03, "89.5"}, {0.4, -0.11, "FULL"}};
    for (const auto& r : readouts) EXPECT_EQ(cap.textAt(r.x, r.y, 0.3), r.text) << r.x << ", " << r.y << cap.dump();
  }
  {  // --sd-page 10: the WHEEL page with all three gear down and locked.
    sd::resetModuleState();
    Bench bench(A320_ECAM_SYSTEM, 400);
    ASSERT_TRUE(bench.made);
    const Frame f = bench.render(b);
    for (const sdgeo::Quad& q : {sdgeo::kGearNose, sdgeo::kGearLeft, sdgeo::kGearRight})
      EXPECT_TRUE(greenNear(f, (q.x0 + q.x1) / 2 - 0.075, q.y1 - 0.06)) << q.x0;
    sd::resetModuleState();
  }
}

}  // namespace
