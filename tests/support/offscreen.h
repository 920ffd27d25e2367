#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/instrument_window.h"
#include "platform/egl_offscreen.h"
#include "platform/message_box.h"

namespace testing_support {

// An instrument window that draws into an EGL pbuffer.
struct OffscreenWindow {
  explicit OffscreenWindow(int width = 256, int height = 256, float scale = 1.0f,
                           const std::string& dataDir = A320_TEST_DATA_DIR);
  std::unique_ptr<InstrumentWindow> window;
  platform::EglOffscreenSurface* surface = nullptr;

  // RGBA, top row first.
  std::vector<std::uint8_t> pixels() const { return surface->readPixelsTopDown(); }
  // Pixel at (x, y) with y counted up from the bottom, as GL does.
  std::array<int, 3> at(int x, int y) const;
};

// Clears the whole buffer and sets up the frame state the render pass
// starts with, for drawing a reference picture to compare against.
void beginReferenceFrame(int width, int height);

// Collects every message instead of showing it.
struct RecordingSink {
  RecordingSink();
  ~RecordingSink();
  std::vector<std::string> messages;
};

}  // namespace testing_support
