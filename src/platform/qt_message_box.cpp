#include "platform/qt_message_box.h"

#include <QMessageBox>
#include <QString>

#include "platform/message_box.h"

namespace platform {

void installQtMessageSink() {
  setMessageSink([](MessageIcon icon, const std::string& text) {
    const QString t = QString::fromStdString(text);
    switch (icon) {
      case MessageIcon::Error: QMessageBox::critical(nullptr, QString(), t); break;
      case MessageIcon::Warning: QMessageBox::warning(nullptr, QString(), t); break;
      case MessageIcon::Information: QMessageBox::information(nullptr, QString(), t); break;
    }
  });
}

}  // namespace platform
