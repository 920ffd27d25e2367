#include "platform/qt_gl_window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSurfaceFormat>
#include <QtGui/qguiapplication_platform.h>
#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {
namespace {

int toLogical(int physical, double ratio) { return int(std::lround(physical / ratio)); }
int toPhysical(int logical, double ratio) { return int(std::lround(logical * ratio)); }

#if QT_CONFIG(xcb)
xcb_connection_t* x11Connection() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}

// The child of the root window that holds w: w itself, or the frame a
// window manager put around it. 0 when the server does not answer.
xcb_window_t topLevelOf(xcb_connection_t* c, xcb_window_t w, xcb_window_t& root) {
  for (int depth = 0; depth < 32; ++depth) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
    if (!tree) return 0;
    root = tree->root;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == root || parent == XCB_WINDOW_NONE) return w;
    w = parent;
  }
  return 0;
}
#endif

}  // namespace

QtGlWindow::QtGlWindow() {
  setSurfaceType(QSurface::OpenGLSurface);
  setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowDoesNotAcceptFocus);
}

QtGlWindow::~QtGlWindow() {
  if (context_) context_->doneCurrent();
}

double QtGlWindow::pixelRatio() const {
  if (handle()) return devicePixelRatio();
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->devicePixelRatio() : 1.0;
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
  place(x, y, width, height);
  create();
  context_ = std::make_unique<QOpenGLContext>();
  context_->setFormat(fmt);
  if (!context_->create()) return false;
  return makeCurrent();
}

void QtGlWindow::place(int x, int y, int width, int height) {
  const double r = pixelRatio();
  setGeometry(toLogical(x, r), toLogical(y, r), toLogical(width, r), toLogical(height, r));
}

QRect QtGlWindow::placement() const {
  const double r = pixelRatio();
  const QRect g = geometry();
  return {toPhysical(g.x(), r), toPhysical(g.y(), r), toPhysical(g.width(), r), toPhysical(g.height(), r)};
}

int QtGlWindow::width() const { return toPhysical(QWindow::width(), pixelRatio()); }
int QtGlWindow::height() const { return toPhysical(QWindow::height(), pixelRatio()); }

bool QtGlWindow::makeCurrent() { return context_ && context_->makeCurrent(this); }

void QtGlWindow::swapBuffers() {
  if (context_ && isExposed()) context_->swapBuffers(this);
}

std::vector<std::uint32_t> QtGlWindow::coveringWindows() const {
  std::vector<std::uint32_t> above;
#if QT_CONFIG(xcb)
  xcb_connection_t* c = x11Connection();
  if (!c || !handle() || !isVisible()) return above;
  xcb_window_t root = 0;
  const xcb_window_t mine = topLevelOf(c, xcb_window_t(winId()), root);
  if (!mine) return above;
  std::vector<xcb_window_t> ours;
  for (QWindow* w : QGuiApplication::topLevelWindows())
    if (w != this && w->handle() && w->isVisible())
      if (const xcb_window_t top = topLevelOf(c, xcb_window_t(w->winId()), root)) ours.push_back(top);

  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
  if (!tree) return above;
  // Children come bottom first: everything after ours lies above it.
  const xcb_window_t* children = xcb_query_tree_children(tree);
  const int count = xcb_query_tree_children_length(tree);
  const int at = int(std::find(children, children + count, mine) - children);
  std::vector<xcb_window_t> candidates;
  for (int i = at + 1; i < count; ++i)
    if (std::find(ours.begin(), ours.end(), children[i]) == ours.end()) candidates.push_back(children[i]);
  std::free(tree);
  if (at >= count || candidates.empty()) return above;

  // All requests first, then the replies: one round trip for the lot.
  const xcb_get_geometry_cookie_t self = xcb_get_geometry(c, mine);
  std::vector<xcb_get_window_attributes_cookie_t> attributes;
  std::vector<xcb_get_geometry_cookie_t> geometries;
  for (xcb_window_t w : candidates) {
    attributes.push_back(xcb_get_window_attributes(c, w));
    geometries.push_back(xcb_get_geometry(c, w));
  }
  QRect area;
  if (xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, self, nullptr)) {
    area = QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
    std::free(g);
  }
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(c, attributes[i], nullptr);
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, geometries[i], nullptr);
    if (a && g && a->map_state == XCB_MAP_STATE_VIEWABLE && a->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT &&
        area.intersects(QRect(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width)))
      above.push_back(candidates[i]);
    std::free(a);
    std::free(g);
  }
#endif
  return above;
}

bool QtGlWindow::liesOver(const QWindow* other) const {
#if QT_CONFIG(xcb)
  xcb_connection_t* c = x11Connection();
  if (!c || !other || !handle() || !other->handle() || !isVisible() || !other->isVisible()) return false;
  if (!geometry().intersects(other->frameGeometry())) return false;
  xcb_window_t root = 0;
  const xcb_window_t mine = topLevelOf(c, xcb_window_t(winId()), root);
  const xcb_window_t theirs = topLevelOf(c, xcb_window_t(other->winId()), root);
  if (!mine || !theirs) return false;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
  if (!tree) return false;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  const int count = xcb_query_tree_children_length(tree);
  const auto mineAt = std::find(children, children + count, mine) - children;
  const auto theirsAt = std::find(children, children + count, theirs) - children;
  std::free(tree);
  return mineAt < count && theirsAt < count && mineAt > theirsAt;
#else
  (void)other;
  return false;
#endif
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
