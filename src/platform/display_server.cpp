#include "platform/display_server.h"

namespace platform {
namespace {
bool set(const char* v) { return v && *v; }
}  // namespace

std::string preferredQtPlatform(const SessionEnvironment& env) {
  if (set(env.qtPlatform) || env.platformArgument) return {};
  if (set(env.waylandDisplay) && set(env.x11Display)) return "xcb";
  return {};
}

bool nativeWaylandOnly(const SessionEnvironment& env) {
  if (set(env.qtPlatform) || env.platformArgument) return false;
  return set(env.waylandDisplay) && !set(env.x11Display);
}

}  // namespace platform
