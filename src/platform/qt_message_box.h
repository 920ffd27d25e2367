#pragma once

namespace platform {
// Routes showMessage() to modal QMessageBox dialogs. Needs a QApplication.
void installQtMessageSink();
}  // namespace platform
