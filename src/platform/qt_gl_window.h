#pragma once
#include <QOpenGLContext>
#include <QWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gl_surface.h"

namespace platform {

// The frameless, taskbar-less window the instruments are drawn in, with a
// compatibility-profile context so that fixed-function OpenGL works.
// Rectangles are in physical pixels of the screen, whatever scale factor the
// desktop applies, so that the settings file keeps meaning monitor pixels.
class QtGlWindow final : public QWindow, public GlSurface {
 public:
  QtGlWindow();
  ~QtGlWindow() override;

  // Creates the native window on the given screen rectangle and the context.
  bool createGl(int x, int y, int width, int height);
  // Moves the window to a rectangle of physical pixels.
  void place(int x, int y, int width, int height);
  // Where the window is, in physical pixels.
  QRect placement() const;

  bool makeCurrent() override;
  void swapBuffers() override;
  // The drawable's size in physical pixels: what viewports are measured in.
  int width() const override;
  int height() const override;

  // The other programs' windows that lie over this one, in stacking order
  // (X11 only; empty elsewhere). This program's own windows, message boxes
  // and dialogs, do not count.
  std::vector<std::uint32_t> coveringWindows() const;
  // True when this window lies over other and overlaps it (X11 only): a
  // window manager may raise the instruments on the very click that handed
  // the front to the dialog.
  bool liesOver(const QWindow* other) const;

  // Called with false on a right-button press and true on a left-button release.
  std::function<void(bool)> onForeground;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  double pixelRatio() const;

  std::unique_ptr<QOpenGLContext> context_;
};

}  // namespace platform
