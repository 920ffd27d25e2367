#include "dialogs/configuration_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/configuration_host.h"
#include "dialogs/dialog_units.h"
#include "dialogs/icons.h"
#include "host/instrument_window.h"

namespace {

constexpr char kCommands[6] = {'h', 'l', 'r', 'd', 'g', 'k'};
enum { kUp, kLeft, kRight, kDown };

// Template places of the four arrow buttons, which the rotation deals out.
constexpr int kArrowPlaces[4][2] = {{295, 11}, {280, 26}, {310, 26}, {295, 41}};  // top, left, right, bottom
constexpr int kRowY[7] = {19, 31, 47, 60, 74, 88, 102};
constexpr int kFieldX[4] = {71, 102, 133, 164};

// Which command sits at top, left, right and bottom: each button keeps its
// command but shows the way the picture moves on the turned display.
struct ArrowLayout {
  float angle;
  char at[4];
};
constexpr ArrowLayout kArrowLayouts[] = {
    {0.0f, {'h', 'l', 'r', 'd'}},
    {90.0f, {'l', 'd', 'h', 'r'}},
    {-90.0f, {'r', 'h', 'd', 'l'}},
};

int commandIndex(char command) {
  for (int i = 0; i < 6; ++i)
    if (kCommands[i] == command) return i;
  return -1;
}

}  // namespace

ConfigurationDialog::ConfigurationDialog(ConfigurationHost& host, QWidget* parent)
    : QDialog(parent), host_(host), typeDialog_(this), serverDialog_(this), parameterDialog_(this) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  for (QDialog* d : {static_cast<QDialog*>(&typeDialog_), static_cast<QDialog*>(&serverDialog_),
                     static_cast<QDialog*>(&parameterDialog_)})
    d->setWindowModality(Qt::WindowModal);
  buildControls();

  setWindowTitle("Configuration");
  placeArrowButtons();
  for (Row& r : rows_) {
    for (QLineEdit* e : r.fields) e->setEnabled(false);
    r.visible->setEnabled(false);
    r.type->setEnabled(false);
  }
  updateCommandButtons();
  refreshRows();
  allSelected_ = false;
  modified_ = false;
  autoShow_->setChecked(host_.settings().autoShow != 0);
  const float angle = window().rotationAngle();
  if (angle == -90.0f) rotation_[0]->setChecked(true);
  if (angle == 0.0f) rotation_[1]->setChecked(true);
  if (angle == 90.0f) rotation_[2]->setChecked(true);
}

InstrumentWindow& ConfigurationDialog::window() const { return *host_.instrumentWindow(); }

void ConfigurationDialog::makeContextCurrent() const {
  // Replacing an instrument deletes and loads textures.
  if (platform::GlSurface* s = window().surface()) s->makeCurrent();
}

void ConfigurationDialog::buildControls() {
  const DialogUnits rect(font());
  setFixedSize(rect.size(336, 177));

  auto heading = [&](const char* text, int x, int w) {
    auto* l = new QLabel(text, this);
    l->setGeometry(rect(x, 6, w, 9));
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return l;
  };
  heading("Gauge", 7, 62);
  heading("x", kFieldX[0], 29);
  heading("y", kFieldX[1], 29);
  heading("dx", kFieldX[2], 29);
  heading("dy", kFieldX[3], 29);
  heading("visible", 199, 29);
  heading("Typ", 227, 29);

  for (int slot = 0; slot < 7; ++slot) {
    Row& r = rows_[std::size_t(slot)];
    const int y = kRowY[slot];
    r.select = new QCheckBox(QString("Gauge %1").arg(slot + 1), this);
    r.select->setGeometry(rect(7, y, 62, 9));
    for (int f = 0; f < 4; ++f) {
      auto* e = new QLineEdit(this);
      e->setGeometry(rect(kFieldX[f], y - 2, 29, 12));
      e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      e->setReadOnly(true);
      r.fields[std::size_t(f)] = e;
    }
    r.visible = new QCheckBox(this);
    r.visible->setGeometry(rect(206, y, 16, 9));
    r.type = new QPushButton("<-->", this);
    r.type->setGeometry(rect(slot < 2 ? 227 : 228, y - 1, 29, 10));
    r.type->setAutoDefault(false);
    connect(r.select, &QCheckBox::clicked, this, [this, slot] {
      applyRowRule(slot);
      updateCommandButtons();
    });
    connect(r.visible, &QCheckBox::clicked, this, [this, slot](bool on) {
      window().setVisible(1u << slot, on ? 1 : 0);
      modified_ = true;
    });
    connect(r.type, &QPushButton::clicked, this, [this, slot] { chooseType(slot); });
  }

  auto* moveGroup = new QGroupBox(this);
  moveGroup->setGeometry(rect(275, 2, 52, 141));
  for (int i = 0; i < 6; ++i) {
    auto* b = new QPushButton(this);
    b->setAutoDefault(false);
    commands_[std::size_t(i)] = b;
    const char c = kCommands[i];
    connect(b, &QPushButton::clicked, this, [this, c] { adjust(c); });
  }
  QPushButton* grow = commandButton('g');
  grow->setGeometry(rect(290, 66, 23, 20));
  grow->setIcon(dialogs::sizeIcon(true));
  QPushButton* shrink = commandButton('k');
  shrink->setGeometry(rect(290, 91, 23, 20));
  shrink->setIcon(dialogs::sizeIcon(false));
  for (QPushButton* b : {grow, shrink}) b->setIconSize(b->size() - QSize(4, 4));
  // Before any rotation is applied the arrows sit where the template has them.
  for (int i = 0; i < 4; ++i) {
    QPushButton* b = commands_[std::size_t(i)];
    b->setGeometry(rect(kArrowPlaces[i][0], kArrowPlaces[i][1], 12, 11));
    b->setIconSize(b->size() - QSize(4, 4));
  }
  commandButton('h')->setIcon(dialogs::arrowIcon(dialogs::ArrowIcon::Up));
  commandButton('l')->setIcon(dialogs::arrowIcon(dialogs::ArrowIcon::Left));
  commandButton('r')->setIcon(dialogs::arrowIcon(dialogs::ArrowIcon::Right));
  commandButton('d')->setIcon(dialogs::arrowIcon(dialogs::ArrowIcon::Down));

  autoShow_ = new QCheckBox("Show Gauges automatic", this);
  autoShow_->setGeometry(rect(7, 128, 123, 9));
  connect(autoShow_, &QCheckBox::clicked, this, [this] { modified_ = true; });
  auto* rotationGroup = new QGroupBox(this);
  rotationGroup->setGeometry(rect(136, 120, 138, 22));
  auto* rotationLabel = new QLabel("Rotation", this);
  rotationLabel->setGeometry(rect(142, 128, 40, 9));
  auto* radios = new QButtonGroup(this);
  const char* angles[] = {"-90°", "0°", "90°"};
  const float degrees[] = {-90.0f, 0.0f, 90.0f};
  for (int i = 0; i < 3; ++i) {
    auto* rb = new QRadioButton(QString::fromUtf8(angles[i]), this);
    rb->setGeometry(rect(184 + 30 * i, 128, 28, 9));
    radios->addButton(rb);
    rotation_[std::size_t(i)] = rb;
    const float deg = degrees[i];
    connect(rb, &QRadioButton::clicked, this, [this, deg] { setRotation(deg); });
  }

  auto button = [&](const char* text, int x, bool isDefault = false) {
    auto* b = new QPushButton(text, this);
    b->setGeometry(rect(x, 152, 47, 14));
    b->setAutoDefault(false);
    b->setDefault(isDefault);
    return b;
  };
  selectAll_ = button("Select all", 7);
  standard_ = button("Standard", 62);
  parameter_ = button("Parameter", 117);
  netConf_ = button("Net Conf.", 172);
  save_ = button("Save", 227);
  ok_ = button("Ok", 282, true);
  connect(selectAll_, &QPushButton::clicked, this, &ConfigurationDialog::toggleSelectAll);
  connect(standard_, &QPushButton::clicked, this, &ConfigurationDialog::standard);
  connect(parameter_, &QPushButton::clicked, this, &ConfigurationDialog::parameters);
  connect(netConf_, &QPushButton::clicked, this, &ConfigurationDialog::netConf);
  connect(save_, &QPushButton::clicked, this, &ConfigurationDialog::save);
  connect(ok_, &QPushButton::clicked, this, &ConfigurationDialog::accept);
}

QPushButton* ConfigurationDialog::commandButton(char command) const {
  const int i = commandIndex(command);
  return i < 0 ? nullptr : commands_[std::size_t(i)];
}

void ConfigurationDialog::placeArrowButtons() {
  const float angle = window().rotationAngle();
  const ArrowLayout* layout = nullptr;
  for (const ArrowLayout& l : kArrowLayouts)
    if (l.angle == angle) layout = &l;
  if (!layout) return;  // an angle from elsewhere: leave them where they are
  const DialogUnits rect(font());
  const dialogs::ArrowIcon icons[4] = {dialogs::ArrowIcon::Up, dialogs::ArrowIcon::Left, dialogs::ArrowIcon::Right,
                                       dialogs::ArrowIcon::Down};
  for (int place = 0; place < 4; ++place) {
    QPushButton* b = commandButton(layout->at[place]);
    b->setGeometry(rect(kArrowPlaces[place][0], kArrowPlaces[place][1], 12, 11));
    b->setIcon(dialogs::arrowIcon(icons[place]));
  }
}

std::uint32_t ConfigurationDialog::selectionMask() const {
  std::uint32_t mask = 0;
  for (int slot = 0; slot < 7; ++slot)
    if (rows_[std::size_t(slot)].select->isChecked()) mask |= 1u << slot;
  return mask;
}

void ConfigurationDialog::refreshRows() {
  for (int slot = 0; slot < 7; ++slot) {
    const Placement p = window().getPlacement(1u << slot);
    Row& r = rows_[std::size_t(slot)];
    const std::int32_t values[4] = {p.x, p.y, p.width, p.height};
    for (int f = 0; f < 4; ++f) r.fields[std::size_t(f)]->setText(QString::number(values[f]));
    r.visible->setChecked(p.visible != 0);
  }
}

void ConfigurationDialog::updateCommandButtons() {
  const bool any = selectionMask() != 0;
  for (QPushButton* b : commands_) b->setEnabled(any);
  standard_->setEnabled(any);
}

void ConfigurationDialog::applyRowRule(int slot) {
  Row& r = rows_[std::size_t(slot)];
  const bool on = r.select->isChecked();
  r.visible->setEnabled(on);
  r.type->setEnabled(on);
}

void ConfigurationDialog::adjust(char command) {
  window().adjust(command, selectionMask());
  refreshRows();
  modified_ = true;
}

void ConfigurationDialog::standard() {
  makeContextCurrent();
  window().resetToDefaults(selectionMask());
  refreshRows();
  modified_ = true;
}

void ConfigurationDialog::chooseType(int slot) {
  typeDialog_.setSelection(window().getPlacement(1u << slot).type);
  if (typeDialog_.run() != QDialog::Accepted) return;
  makeContextCurrent();
  window().setType(slot, typeDialog_.selection());
  modified_ = true;
}

void ConfigurationDialog::setRotation(float degrees) {
  window().setRotationAngle(degrees);
  placeArrowButtons();
  modified_ = true;
}

void ConfigurationDialog::toggleSelectAll() {
  allSelected_ = !allSelected_;
  for (Row& r : rows_) r.select->setChecked(allSelected_);
  selectAll_->setText(allSelected_ ? "Deselect all" : "Select all");
  for (int slot = 0; slot < 7; ++slot) applyRowRule(slot);
  updateCommandButtons();
}

void ConfigurationDialog::netConf() {
  SettingsState& s = host_.settings();
  serverDialog_.parts = ServerDialog::splitAddress(s.address);
  serverDialog_.port = s.port;
  if (serverDialog_.run() != QDialog::Accepted) return;
  const auto& p = serverDialog_.parts;
  s.address = QString::asprintf("%d.%d.%d.%d", int(p[0]), int(p[1]), int(p[2]), int(p[3])).toStdString();
  s.port = static_cast<std::uint16_t>(serverDialog_.port);
  host_.closeReceiver();
  host_.openReceiver();
  modified_ = true;
}

void ConfigurationDialog::parameters() {
  InstrumentWindow& w = window();
  for (int i = 0; i < 6; ++i) parameterDialog_.flaps[std::size_t(i)] = w.flapsSetting(i);
  parameterDialog_.weightUnitKg = w.weightUnitKg();
  if (parameterDialog_.run() != QDialog::Accepted) return;
  for (int i = 0; i < 6; ++i) w.setFlapsSetting(i, parameterDialog_.flaps[std::size_t(i)]);
  w.setWeightUnitKg(parameterDialog_.weightUnitKg);
  modified_ = true;
}

bool ConfigurationDialog::save() {
  host_.settings().autoShow = autoShow_->isChecked() ? 1 : 0;
  if (!host_.writeSettings()) return false;
  modified_ = false;
  return true;
}

void ConfigurationDialog::accept() {
  if (modified_) {
    QMessageBox question(QMessageBox::NoIcon, windowTitle(), "Save Changes ?", QMessageBox::Yes | QMessageBox::No,
                         this);
    question.setWindowModality(Qt::WindowModal);
    // A failed save keeps the dialog open; its message has said why.
    if (question.exec() == QMessageBox::Yes && !save()) return;
  }
  QDialog::accept();
}

int runConfigurationDialog(ConfigurationHost& host, QWidget* parent) {
  ConfigurationDialog dialog(host, parent);
  dialog.setWindowModality(Qt::WindowModal);
  return dialog.exec();
}
