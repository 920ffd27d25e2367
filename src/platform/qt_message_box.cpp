#include "platform/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include "platform/message_box.h"

namespace platform {

void installQtMessageSink(QWidget* owner) {
  QPointer<QWidget> fallback(owner);
  setMessageSink([fallback](MessageIcon icon, const std::string& text) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent && fallback && fallback->isVisible()) parent = fallback;
    const QMessageBox::Icon shown = icon == MessageIcon::Error     ? QMessageBox::Critical
                                    : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(shown, QString(), QString::fromStdString(text), QMessageBox::Ok, parent);
    // Centred over its parent rather than the whole desktop, which on two
    // panels side by side puts it half under the instruments; and kept above
    // the instrument window, which is not this box's parent.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
  });
}

}  // namespace platform
