#pragma once
#include <string>

namespace platform {

// What the environment says about the desktop session.
struct SessionEnvironment {
  const char* qtPlatform = nullptr;      // QT_QPA_PLATFORM
  const char* waylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* x11Display = nullptr;      // DISPLAY
  bool platformArgument = false;         // -platform on the command line
};

// The Qt platform to ask for, or empty to leave Qt's own choice. A native
// Wayland window cannot be placed on a monitor, so where the session also
// offers X11 (XWayland), the program runs there unless the user chose.
std::string preferredQtPlatform(const SessionEnvironment& env);

// True when the program would end up a native Wayland client, which the
// operator is told about: the compositor, not the settings, places it.
bool nativeWaylandOnly(const SessionEnvironment& env);

}  // namespace platform
