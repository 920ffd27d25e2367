// a320-display: one instance per program file, run as its status dialog.
#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <cstdio>
#include <string>

#include "host/status_dialog.h"
#include "platform/qt_message_box.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
  // A settings file that hits a file-size limit must fail its save with a
  // message, not end the program.
  std::signal(SIGXFSZ, SIG_IGN);
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
  platform::installQtMessageSink();

  const auto slash = programPath.find_last_of('/');
  StatusDialog dialog(slash == std::string::npos ? programPath : programPath.substr(slash + 1));
  // Not exec(): an application-modal dialog would swallow the mouse
  // clicks on the instrument window that hand the front back and forth.
  QObject::connect(&dialog, &QDialog::finished, &app, &QApplication::quit);
  dialog.show();
  app.exec();
  return 0;
}
