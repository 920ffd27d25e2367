#pragma once
#include <QDialog>
#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The six flap detent positions and the weight unit.
class ParameterDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit ParameterDialog(QWidget* parent = nullptr);

  std::int32_t weightUnitKg = 0;  // non-zero: kilograms
  std::array<float, 6> flaps{};

  int run();
  void accept() override;  // only when every edit passes its check

  QLineEdit* flapEdit(int i) const { return edits_[std::size_t(i)]; }
  QRadioButton* kgButton() const { return kg_; }
  QRadioButton* lbButton() const { return lb_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  std::array<QLineEdit*, 6> edits_{};
  QRadioButton* kg_ = nullptr;
  QRadioButton* lb_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
