#include "dialogs/server_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cctype>
#include <climits>

#include "dialogs/data_exchange.h"
#include "dialogs/dialog_units.h"

namespace {

// atoi without its undefined overflow: saturates at the int range.
std::int32_t toInt(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    if (v <= std::int64_t(INT_MAX) + 1) v = v * 10 + (s[i] - '0');
  if (negative) v = -v;
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : std::int32_t(v);
}

}  // namespace

ServerDialog::ServerDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  const DialogUnits rect(font());
  setFixedSize(rect.size(158, 74));
  // The template's German texts, replaced below as the dialog opens.
  auto* addressLabel = new QLabel("IP-Adresse", this);
  addressLabel->setGeometry(rect(5, 6, 45, 12));
  const int partX[] = {53, 78, 103, 128};
  for (int i = 0; i < 4; ++i) {
    partEdits_[std::size_t(i)] = new QLineEdit(this);
    partEdits_[std::size_t(i)]->setGeometry(rect(partX[i], 6, 22, 12));
  }
  auto* portLabel = new QLabel("Port-Adresse", this);
  portLabel->setGeometry(rect(5, 33, 45, 12));
  portEdit_ = new QLineEdit(this);
  portEdit_->setGeometry(rect(53, 32, 40, 14));
  cancel_ = new QPushButton("Abbrechen", this);
  cancel_->setGeometry(rect(47, 58, 50, 14));
  cancel_->setAutoDefault(false);
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(rect(105, 58, 50, 14));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &ServerDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  setWindowTitle("Server Configuration");
  addressLabel->setText("IP address");
  portLabel->setText("Port");
  cancel_->setText("Cancel");
  ok_->setText("Ok");
}

std::array<std::uint32_t, 4> ServerDialog::splitAddress(const std::string& text) {
  std::array<std::uint32_t, 4> out{};
  std::size_t from = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t dot = text.find('.', from);
    out[i] = std::uint32_t(toInt(text.substr(from, dot == std::string::npos ? std::string::npos : dot - from)));
    if (dot == std::string::npos) break;
    from = dot + 1;
  }
  return out;
}

int ServerDialog::run() {
  for (std::size_t i = 0; i < parts.size(); ++i) partEdits_[i]->setText(QString::number(parts[i]));
  portEdit_->setText(QString::number(port));
  partEdits_[0]->setFocus();
  return exec();
}

void ServerDialog::accept() {
  std::array<std::uint32_t, 4> p = parts;
  std::uint32_t n = port;
  for (std::size_t i = 0; i < p.size(); ++i)
    if (!dialogs::exchangeUnsigned(partEdits_[i], 0, 255, p[i])) return;
  // Port 0 would bind whatever port the system hands out: refused.
  if (!dialogs::exchangeUnsigned(portEdit_, 1, 65535, n)) return;
  parts = p;
  port = n;
  QDialog::accept();
}
