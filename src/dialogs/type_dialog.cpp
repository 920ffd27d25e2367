#include "dialogs/type_dialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

#include "dialogs/dialog_units.h"
#include "instruments/instrument.h"

TypeDialog::TypeDialog(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  const DialogUnits rect(font());
  setFixedSize(rect.size(181, 111));
  setWindowTitle("Typ");

  list_ = new QTableWidget(kInstrumentTypeCount, 1, this);
  list_->setGeometry(rect(7, 7, 106, 97));
  list_->setHorizontalHeaderLabels({QString()});
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The column fills the list so that no identifier is cut off.
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->verticalHeader()->hide();
  list_->setShowGrid(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int type = 0; type < kInstrumentTypeCount; ++type) {
    auto* item = new QTableWidgetItem(instrumentIdentifier(type));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setItem(type, 0, item);
  }
  list_->resizeRowsToContents();
  list_->viewport()->installEventFilter(this);

  cancel_ = new QPushButton("Cancel", this);
  cancel_->setGeometry(rect(124, 62, 50, 14));
  cancel_->setAutoDefault(false);
  ok_ = new QPushButton("Ok", this);
  ok_->setGeometry(rect(124, 90, 50, 14));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  connect(list_, &QTableWidget::itemClicked, this, [this](QTableWidgetItem* item) {
    const std::int32_t t = lookup(item->text());
    if (t >= 0) selection_ = t;
  });
  // Keys move the marked row too; what is marked is what OK takes.
  connect(list_, &QTableWidget::currentItemChanged, this, [this](QTableWidgetItem* item) {
    if (!item) return;
    const std::int32_t t = lookup(item->text());
    if (t >= 0) selection_ = t;
  });
  connect(list_, &QTableWidget::itemDoubleClicked, this, [this](QTableWidgetItem* item) {
    const std::int32_t t = lookup(item->text());
    if (t < 0) {
      resetToOpening();
      return;
    }
    selection_ = t;
    accept();
  });
}

std::int32_t TypeDialog::lookup(const QString& text) {
  for (int type = 0; type < kInstrumentTypeCount; ++type)
    if (text.compare(instrumentIdentifier(type), Qt::CaseInsensitive) == 0) return type;
  return -1;
}

int TypeDialog::run() {
  opening_ = selection_;
  markSelection();
  return exec();
}

void TypeDialog::markSelection() {
  const std::int32_t keep = selection_;
  list_->clearSelection();
  list_->setCurrentItem(nullptr);
  if (keep >= 0 && keep < kInstrumentTypeCount) {
    list_->setCurrentCell(keep, 0);
    list_->scrollToItem(list_->item(keep, 0));
  }
  selection_ = keep;
}

void TypeDialog::resetToOpening() {
  selection_ = opening_;
  markSelection();
}

bool TypeDialog::eventFilter(QObject* watched, QEvent* e) {
  // A click beside the items goes back to the type the dialog opened with.
  if (watched == list_->viewport() &&
      (e->type() == QEvent::MouseButtonRelease || e->type() == QEvent::MouseButtonDblClick)) {
    const auto* me = static_cast<QMouseEvent*>(e);
    if (!list_->indexAt(me->position().toPoint()).isValid()) {
      resetToOpening();
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}
