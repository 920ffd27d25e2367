#pragma once

class QWidget;

namespace platform {
// Routes showMessage() to modal QMessageBox dialogs. Needs a QApplication.
// A box opens over the dialog the operator works in, else over owner (the
// status dialog), and stays above the instrument window.
void installQtMessageSink(QWidget* owner);
}  // namespace platform
