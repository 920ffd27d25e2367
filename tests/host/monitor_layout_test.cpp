#include "host/monitor_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(MonitorLayout, ScreenSizesBecomeMonitors) {
  struct {
    int w, h, reported;
    int monitorW, monitorH, count;
    float scale;
  } cases[] = {
      {1024, 768, 1, 1024, 768, 1, 0.75f},      {2560, 1024, 1, 1280, 1024, 2, 1.0f},
      {1920, 1080, 1, 1920, 1080, 1, 1.0546875f}, {3072, 768, 1, 1024, 768, 3, 0.75f},
      {1280, 1024, 2, 1280, 1024, 2, 1.0f},     {3200, 1200, 1, 1600, 1200, 2, 1.171875f},
      {2560, 1024, 2, 1280, 1024, 3, 1.0f},     {800, 600, 1, 800, 600, 1, 0.5859375f},
  };
  for (const auto& c : cases) {
    const MonitorLayout m = monitorLayout(c.w, c.h, c.reported);
    EXPECT_EQ(m.monitorWidth, c.monitorW) << c.w << "x" << c.h;
    EXPECT_EQ(m.monitorHeight, c.monitorH) << c.w << "x" << c.h;
    EXPECT_EQ(m.monitorCount, c.count) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(m.windowScale, c.scale) << c.w << "x" << c.h;
  }
}

}  // namespace
