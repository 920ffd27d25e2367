#include "platform/qt_gl_window.h"

#include <QMouseEvent>
#include <QSurfaceFormat>

namespace platform {

QtGlWindow::QtGlWindow() {
  setSurfaceType(QSurface::OpenGLSurface);
  setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus);
}

QtGlWindow::~QtGlWindow() {
  if (context_) context_->doneCurrent();
}

bool QtGlWindow::createGl(int x, int y, int width, int height) {
  QSurfaceFormat fmt;
  fmt.setRenderableType(QSurfaceFormat::OpenGL);
  fmt.setProfile(QSurfaceFormat::CompatibilityProfile);
  fmt.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  fmt.setRedBufferSize(8);
  fmt.setGreenBufferSize(8);
  fmt.setBlueBufferSize(8);
  fmt.setDepthBufferSize(16);
  fmt.setSwapInterval(0);  // the render timer paces us, not the vertical retrace
  setFormat(fmt);
  setGeometry(x, y, width, height);
  create();
  context_ = std::make_unique<QOpenGLContext>();
  context_->setFormat(fmt);
  if (!context_->create()) return false;
  return makeCurrent();
}

bool QtGlWindow::makeCurrent() { return context_ && context_->makeCurrent(this); }

void QtGlWindow::swapBuffers() {
  if (context_ && isExposed()) context_->swapBuffers(this);
}

void QtGlWindow::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton && onForeground) onForeground(false);
  QWindow::mousePressEvent(e);
}

void QtGlWindow::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && onForeground) onForeground(true);
  QWindow::mouseReleaseEvent(e);
}

}  // namespace platform
