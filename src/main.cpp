// a320-display: one instance per program file, run as its status dialog.
#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/status_dialog.h"
#include "platform/display_server.h"
#include "platform/qt_message_box.h"
#include "platform/single_instance.h"

namespace {

// Decides the Qt platform before Qt does: on Wayland desktops the program
// runs through XWayland, where its window can be placed on a monitor.
void chooseDisplayServer(int argc, char** argv) {
  platform::SessionEnvironment env;
  env.qtPlatform = std::getenv("QT_QPA_PLATFORM");
  env.waylandDisplay = std::getenv("WAYLAND_DISPLAY");
  env.x11Display = std::getenv("DISPLAY");
  for (int i = 1; i < argc; ++i)
    env.platformArgument |= std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0;
  const std::string chosen = platform::preferredQtPlatform(env);
  if (!chosen.empty()) setenv("QT_QPA_PLATFORM", chosen.c_str(), 1);
  if (platform::nativeWaylandOnly(env))
    std::fprintf(stderr,
                 "a320-display: running as a native Wayland client, where the desktop decides where the "
                 "instrument window goes; for the monitor and position of the settings, run it with XWayland "
                 "(DISPLAY set) or on an X11 session\n");
}

}  // namespace

int main(int argc, char** argv) {
  // A settings file that hits a file-size limit must fail its save with a
  // message, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
  chooseDisplayServer(argc, argv);
  QApplication app(argc, argv);
  const std::string programPath = QCoreApplication::applicationFilePath().toStdString();
  platform::SingleInstance instance(platform::instanceName(programPath));
  if (instance.alreadyRunning()) {
    QMessageBox box(QMessageBox::NoIcon, QString(), "This Application is already started!", QMessageBox::Ok);
    box.exec();
    return 1;
  }
  if (!instance.error().empty())
    std::fprintf(stderr, "a320-display: cannot use the lock file %s (%s); not checking for a second instance\n",
                 instance.path().c_str(), instance.error().c_str());
  const auto slash = programPath.find_last_of('/');
  StatusDialog dialog(slash == std::string::npos ? programPath : programPath.substr(slash + 1));
  platform::installQtMessageSink(&dialog);
  // Not exec(): an application-modal dialog would swallow the mouse
  // clicks on the instrument window that hand the front back and forth.
  QObject::connect(&dialog, &QDialog::finished, &app, &QApplication::quit);
  dialog.show();
  app.exec();
  return 0;
}
