#include "support/offscreen.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace testing_support {

OffscreenWindow::OffscreenWindow(int width, int height, float scale, const std::string& dataDir) {
  std::string error;
  auto made = platform::EglOffscreenSurface::create(width, height, &error);
  if (!made) ADD_FAILURE() << "no offscreen context: " << error;
  surface = made.get();
  auto holder = std::make_shared<std::unique_ptr<platform::EglOffscreenSurface>>(std::move(made));
  window = std::make_unique<InstrumentWindow>(scale, [holder](int, int, int, int) {
    return std::unique_ptr<platform::GlSurface>(std::move(*holder));
  });
  window->setDataDir(dataDir);
  if (!window->create(0, 0, width, height)) ADD_FAILURE() << "instrument window not created";
}

std::array<int, 3> OffscreenWindow::at(int x, int y) const {
  const auto px = pixels();
  const int w = surface->width(), h = surface->height();
  const std::size_t i = (std::size_t(h - 1 - y) * w + x) * 4;
  return {px[i], px[i + 1], px[i + 2]};
}

void beginReferenceFrame(int width, int height) {
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

RecordingSink::RecordingSink() {
  platform::setMessageSink([this](platform::MessageIcon, const std::string& text) { messages.push_back(text); });
}
RecordingSink::~RecordingSink() { platform::setMessageSink(nullptr); }

}  // namespace testing_support
