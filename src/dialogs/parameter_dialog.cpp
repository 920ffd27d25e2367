#include "dialogs/parameter_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/data_exchange.h"
#include "dialogs/dialog_units.h"

namespace {
constexpr float kFlapMin = 0.0f;
constexpr float kFlapMax = 90.0f;
}  // namespace

ParameterDialog::ParameterDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  const DialogUnits rect(font());
  setFixedSize(rect.size(186, 127));
  // The template's German texts, replaced below as the dialog opens.
  auto* heading = new QLabel("Flaps-Position", this);
  heading->setGeometry(rect(8, 2, 60, 10));
  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(QString::number(i), this);
    label->setGeometry(rect(4, 15 + 16 * i, 8, 8));
    edits_[std::size_t(i)] = new QLineEdit(this);
    edits_[std::size_t(i)]->setGeometry(rect(15, 12 + 16 * i, 40, 14));
  }
  auto* group = new QGroupBox("Gewichtseinheit", this);
  group->setGeometry(rect(74, 2, 80, 42));
  kg_ = new QRadioButton("kg", this);
  kg_->setGeometry(rect(96, 12, 24, 10));
  lb_ = new QRadioButton("lb", this);
  lb_->setGeometry(rect(96, 28, 21, 10));
  auto* units = new QButtonGroup(this);
  units->addButton(kg_);
  units->addButton(lb_);
  cancel_ = new QPushButton("Abbrechen", this);
  cancel_->setGeometry(rect(74, 110, 50, 14));
  cancel_->setAutoDefault(false);
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(rect(132, 110, 50, 14));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &ParameterDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  setWindowTitle("Parameter");
  heading->setText("Flaps Position");
  group->setTitle("Weight Unit");
  cancel_->setText("Cancel");
  ok_->setText("Ok");
}

int ParameterDialog::run() {
  for (std::size_t i = 0; i < flaps.size(); ++i)
    edits_[i]->setText(QString::fromStdString(dialogs::formatFloat(flaps[i])));
  (weightUnitKg == 0 ? lb_ : kg_)->setChecked(true);
  edits_[0]->setFocus();
  return exec();
}

void ParameterDialog::accept() {
  weightUnitKg = kg_->isChecked() ? 1 : 0;
  std::array<float, 6> f = flaps;
  for (std::size_t i = 0; i < f.size(); ++i)
    if (!dialogs::exchangeFloat(edits_[i], kFlapMin, kFlapMax, f[i])) return;
  flaps = f;
  QDialog::accept();
}
