#pragma once
#include <QOpenGLContext>
#include <QWindow>
#include <functional>
#include <memory>

#include "platform/gl_surface.h"

namespace platform {

// The frameless, taskbar-less window the instruments are drawn in, with a
// compatibility-profile context so that fixed-function OpenGL works.
class QtGlWindow final : public QWindow, public GlSurface {
 public:
  QtGlWindow();
  ~QtGlWindow() override;

  // Creates the native window on the given screen rectangle and the context.
  bool createGl(int x, int y, int width, int height);

  bool makeCurrent() override;
  void swapBuffers() override;
  int width() const override { return QWindow::width(); }
  int height() const override { return QWindow::height(); }

  // Called with false on a right-button press and true on a left-button release.
  std::function<void(bool)> onForeground;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  std::unique_ptr<QOpenGLContext> context_;
};

}  // namespace platform
