#include "fuzz_support.h"

#include <stdlib.h>

#include <filesystem>

#include "platform/egl_offscreen.h"
#include "platform/message_box.h"

namespace fuzzing {

const std::string& scratchFolder() {
  // Never destroyed, so that the clean-up at exit still has it.
  static const std::string* folder = [] {
    // In memory where we can: every settings save syncs its file.
    std::string pattern = "/dev/shm/a320-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
      pattern = "/tmp/a320-fuzz-XXXXXX";
      FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr, "no scratch folder under /tmp");
    }
    return new std::string(pattern);
  }();
  static const bool cleaned = [] { return std::atexit([] { std::filesystem::remove_all(*folder); }) == 0; }();
  (void)cleaned;
  return *folder;
}

std::unique_ptr<InstrumentWindow> offscreenWindow(int width, int height) {
  std::string error;
  auto made = platform::EglOffscreenSurface::create(width, height, &error);
  FUZZ_CHECK(made != nullptr, "no offscreen GL context: %s", error.c_str());
  auto holder = std::make_shared<std::unique_ptr<platform::EglOffscreenSurface>>(std::move(made));
  auto window = std::make_unique<InstrumentWindow>(1.0f, [holder](int, int, int, int) {
    return std::unique_ptr<platform::GlSurface>(std::move(*holder));
  });
  window->setDataDir(A320_FUZZ_DATA_DIR);
  // A message here means the artwork is missing: every later input would
  // test nothing.
  platform::setMessageSink([](platform::MessageIcon, const std::string& text) {
    FUZZ_CHECK(false, "the program showed \"%s\"", text.c_str());
  });
  FUZZ_CHECK(window->create(0, 0, width, height), "instrument window not created");
  return window;
}

}  // namespace fuzzing
