#include "platform/display_server.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayServer, WaylandDesktopsRunThroughXWaylandUnlessTheUserChose) {
  struct {
    const char* name;
    platform::SessionEnvironment env;
    const char* platform;
    bool nativeWayland;
  } cases[] = {
      {"X11 session", {nullptr, nullptr, ":0", false}, "", false},
      {"Wayland with XWayland", {nullptr, "wayland-0", ":0", false}, "xcb", false},
      {"Wayland without XWayland", {nullptr, "wayland-0", nullptr, false}, "", true},
      {"Wayland, DISPLAY empty", {nullptr, "wayland-0", "", false}, "", true},
      {"WAYLAND_DISPLAY empty", {nullptr, "", ":0", false}, "", false},
      {"QT_QPA_PLATFORM chosen", {"wayland", "wayland-0", ":0", false}, "", false},
      {"-platform chosen", {nullptr, "wayland-0", ":0", true}, "", false},
      {"-platform chosen, no XWayland", {nullptr, "wayland-0", nullptr, true}, "", false},
      {"QT_QPA_PLATFORM empty counts as unset", {"", "wayland-0", ":0", false}, "xcb", false},
      {"nothing at all", {}, "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::preferredQtPlatform(c.env), c.platform) << c.name;
    EXPECT_EQ(platform::nativeWaylandOnly(c.env), c.nativeWayland) << c.name;
  }
}

}  // namespace
