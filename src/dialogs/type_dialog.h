#pragma once
#include <QDialog>
#include <cstdint>

class QTableWidget;
class QPushButton;

// Picks the instrument type of one slot from the list of the seven.
class TypeDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit TypeDialog(QWidget* parent = nullptr);

  // Set before run(); after OK, the type chosen.
  std::int32_t selection() const { return selection_; }
  void setSelection(std::int32_t type) { selection_ = type; }
  // Shows the list with the selection marked and waits for its end.
  int run();

  QTableWidget* list() const { return list_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

  // The type whose identifier equals text without regard to case, or -1.
  static std::int32_t lookup(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void markSelection();
  void resetToOpening();

  std::int32_t selection_ = 0;
  std::int32_t opening_ = 0;
  QTableWidget* list_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
