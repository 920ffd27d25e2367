#include "platform/message_box.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {
std::mutex sinkMutex;
MessageSink currentSink;
}  // namespace

void setMessageSink(MessageSink sink) {
  std::lock_guard lock(sinkMutex);
  currentSink = std::move(sink);
}

void showMessage(MessageIcon icon, const std::string& text) {
  MessageSink sink;
  {
    std::lock_guard lock(sinkMutex);
    sink = currentSink;
  }
  if (sink) {
    sink(icon, text);
    return;
  }
  const char* kind = icon == MessageIcon::Error ? "error" : icon == MessageIcon::Warning ? "warning" : "info";
  std::fprintf(stderr, "a320-display %s: %s\n", kind, text.c_str());
}

}  // namespace platform
