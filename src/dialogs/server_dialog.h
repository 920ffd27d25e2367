#pragma once
#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

class QLineEdit;
class QPushButton;

// Address and port the receiver is opened with.
class ServerDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit ServerDialog(QWidget* parent = nullptr);

  // Fields as the caller sets them before run() and reads them after OK.
  std::array<std::uint32_t, 4> parts{};
  std::uint32_t port = 0;

  // Shows the fields in the edits and waits for the dialog's end.
  int run();
  void accept() override;  // only when every edit passes its check

  QLineEdit* partEdit(int i) const { return partEdits_[std::size_t(i)]; }
  QLineEdit* portEdit() const { return portEdit_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  // "a.b.c.d" split at its dots, each part as the C library's atoi would
  // read it (an empty part is 0).
  static std::array<std::uint32_t, 4> splitAddress(const std::string& text);

 private:
  std::array<QLineEdit*, 4> partEdits_{};
  QLineEdit* portEdit_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
