// Opens the instrument window on the primary screen with the default
// layout, receives flight data on port 4555 and draws every 30 ms.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "host/instrument_window.h"
#include "host/receive_link.h"
#include "platform/message_box.h"
#include "platform/qt_gl_window.h"
#include "platform/qt_message_box.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::installQtMessageSink();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) {
    std::fprintf(stderr, "a320-display: no screen to draw on; is DISPLAY set?\n");
    return 1;
  }
  const QRect area = screen->geometry();
  platform::QtGlWindow* window = nullptr;
  InstrumentWindow instruments(float(area.height()) / 1024.0f, [&](int x, int y, int w, int h) {
    auto made = std::make_unique<platform::QtGlWindow>();
    window = made.get();
    if (!made->createGl(x, y, w, h)) return std::unique_ptr<platform::GlSurface>();
    return std::unique_ptr<platform::GlSurface>(std::move(made));
  });
  if (!instruments.create(area.x(), area.y(), area.width(), area.height())) {
    platform::showError("Fehler bei der Initialisierung von OpenGL!");
    return 1;
  }
  window->onForeground = [&](bool f) { instruments.setForeground(f); };
  instruments.resetToDefaults(0x7f);
  window->show();

  ReceiveLink link(instruments.exchange());
  QTimer watchdog;
  if (link.openReceiver(4555, "127.0.0.1")) {
    QObject::connect(&watchdog, &QTimer::timeout, [&] { link.watchdogTick(); });
    watchdog.start(5000);
  }
  QTimer render;
  QObject::connect(&render, &QTimer::timeout, [&] {
    if (instruments.foreground()) window->raise();
    instruments.renderPass();
  });
  render.start(30);
  const int rc = app.exec();
  render.stop();
  link.closeReceiver();
  return rc;
}
