#include "host/status_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

#include "dialogs/configuration_dialog.h"
#include "dialogs/dialog_units.h"
#include "host/instrument_window.h"
#include "host/receive_link.h"
#include "platform/qt_gl_window.h"

namespace {

constexpr const char* kVersion = "v1.1";
constexpr const char* kContact =
    "a320-display\n"
    "Cockpit instrument display for A320 flight simulators\n\n"
    "Made by the a320-display developers.\n"
    "Questions and reports: see the project's README.";

// Our logo: a small airliner over the type name, drawn on white, which
// the dialog treats as transparent.
QPixmap makeLogo(QSize size) {
  QPixmap pm(size);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = size.width(), h = size.height();
  QPainterPath plane;
  const double cx = w * 0.24, cy = h * 0.5, s = h * 0.42;
  plane.moveTo(cx + s, cy);
  plane.lineTo(cx - s * 0.9, cy - s * 0.12);
  plane.lineTo(cx - s * 0.9, cy + s * 0.12);
  plane.closeSubpath();
  plane.moveTo(cx + s * 0.15, cy);
  plane.lineTo(cx - s * 0.35, cy - s * 0.95);
  plane.lineTo(cx - s * 0.5, cy - s * 0.95);
  plane.lineTo(cx - s * 0.2, cy);
  plane.lineTo(cx - s * 0.5, cy + s * 0.95);
  plane.lineTo(cx - s * 0.35, cy + s * 0.95);
  plane.closeSubpath();
  plane.moveTo(cx - s * 0.65, cy);
  plane.lineTo(cx - s * 0.95, cy - s * 0.4);
  plane.lineTo(cx - s * 1.0, cy - s * 0.4);
  plane.lineTo(cx - s * 0.85, cy);
  plane.lineTo(cx - s * 1.0, cy + s * 0.4);
  plane.lineTo(cx - s * 0.95, cy + s * 0.4);
  plane.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 50, 110));
  p.drawPath(plane);
  QFont f("B612");
  f.setBold(true);
  f.setPixelSize(int(h * 0.42));
  p.setFont(f);
  p.setPen(QColor(20, 50, 110));
  p.drawText(QRectF(w * 0.46, 0, w * 0.54, h * 0.62), Qt::AlignLeft | Qt::AlignBottom, "A320");
  f.setBold(false);
  f.setPixelSize(int(h * 0.2));
  p.setFont(f);
  p.setPen(QColor(200, 120, 0));
  p.drawText(QRectF(w * 0.46, h * 0.62, w * 0.54, h * 0.3), Qt::AlignLeft | Qt::AlignTop, "DISPLAY");
  p.end();
  pm.setMask(pm.createMaskFromColor(Qt::white, Qt::MaskInColor));
  return pm;
}

}  // namespace

StatusDialog::StatusDialog(const std::string& programFileName, QWidget* parent)
    : QDialog(parent), programFileName_(programFileName), settingsFileName_(::settingsFileName(programFileName)) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  buildControls();

  // Monitors are measured in physical pixels, as the settings file stores
  // them, whatever scale factor the desktop draws its windows with.
  QScreen* screen = QGuiApplication::primaryScreen();
  pixelRatio_ = screen ? screen->devicePixelRatio() : 1.0;
  const QSize size = screen ? screen->geometry().size() * pixelRatio_ : QSize(1280, 1024);
  const int count = std::max<int>(1, int(QGuiApplication::screens().size()));
  layout_ = monitorLayout(size.width(), size.height(), count);
  settings_.monitorCount = layout_.monitorCount;
  settings_.monitorWidth = layout_.monitorWidth;
  settings_.monitorHeight = layout_.monitorHeight;
  move(int(layout_.monitorWidth / pixelRatio_) / 2 - width() / 2,
       int(layout_.monitorHeight / pixelRatio_) * 3 / 4 - height() / 2);

  // The title is the settings file's name less its ".cfg".
  QString title = QString::fromStdString(settingsFileName_);
  title.chop(4);
  setWindowTitle(QString("%1  %2").arg(title, kVersion));

  renderTimer_.setInterval(30);
  watchdogTimer_.setInterval(5000);
  autoShowTimer_.setInterval(100);
  autoShowTimer_.setSingleShot(true);
  connect(&renderTimer_, &QTimer::timeout, this, &StatusDialog::renderTick);
  connect(&watchdogTimer_, &QTimer::timeout, this, &StatusDialog::watchdogTick);
  connect(&autoShowTimer_, &QTimer::timeout, this, &StatusDialog::showGauges);
  if (readAutoShow(settingsFileName_) == 1) autoShowTimer_.start();
}

StatusDialog::~StatusDialog() {
  shutdown();
  window_.reset();
}

void StatusDialog::buildControls() {
  // Positions in dialog units, converted with the font's average character
  // width and height so that the dialog keeps its proportions.
  const DialogUnits rect(font());
  setFixedSize(rect(0, 0, 257, 164).size());

  group_ = new QGroupBox(this);
  group_->setGeometry(rect(168, 7, 82, 74));
  group_->setEnabled(false);
  showGaugesButton_ = new QPushButton("Show Gauges", this);
  showGaugesButton_->setGeometry(rect(175, 17, 69, 19));
  leftButton_ = new QPushButton("<<", this);
  leftButton_->setGeometry(rect(175, 60, 23, 14));
  leftButton_->setEnabled(false);
  rightButton_ = new QPushButton(">>", this);
  rightButton_->setGeometry(rect(221, 60, 23, 14));
  rightButton_->setEnabled(false);
  configurationButton_ = new QPushButton("Configuration", this);
  configurationButton_->setGeometry(rect(14, 93, 69, 19));
  configurationButton_->setEnabled(false);
  closeButton_ = new QPushButton("Close", this);
  closeButton_->setGeometry(rect(171, 93, 69, 19));
  shiftLabel_ = new QLabel("Shift Window", this);
  shiftLabel_->setGeometry(rect(174, 44, 69, 10));
  shiftLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  monitorBox_ = new QLabel(this);
  monitorBox_->setGeometry(rect(14, 60, 84, 15));
  monitorBox_->setAlignment(Qt::AlignCenter);
  monitorBox_->setFrameStyle(QFrame::Box | QFrame::Plain);
  logo_ = new QLabel(this);
  logo_->setGeometry(rect(14, 12, 84, 39));
  logo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  logo_->setPixmap(makeLogo(logo_->size()));
  logo_->setCursor(Qt::PointingHandCursor);
  logo_->installEventFilter(this);
  statusLine_ = new QLabel(this);
  statusLine_->setGeometry(rect(7, 128, 243, 29));
  statusLine_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  statusLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  statusLine_->setWordWrap(true);
  updateControls();

  // Push buttons in a dialog would otherwise turn Enter into a click.
  for (QPushButton* b : {showGaugesButton_, leftButton_, rightButton_, configurationButton_, closeButton_}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  connect(showGaugesButton_, &QPushButton::clicked, this, &StatusDialog::showGauges);
  connect(leftButton_, &QPushButton::clicked, this, &StatusDialog::shiftLeft);
  connect(rightButton_, &QPushButton::clicked, this, &StatusDialog::shiftRight);
  connect(configurationButton_, &QPushButton::clicked, this, &StatusDialog::openConfiguration);
  connect(closeButton_, &QPushButton::clicked, this, [this] {
    shutdown();
    accept();
  });
}

void StatusDialog::updateControls() {
  statusLine_->setText(statusText_);
  monitorBox_->setText(monitorText_);
}

void StatusDialog::showGauges() {
  autoShowTimer_.stop();
  if (!gaugesCreated_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    createGauges();
    gaugesCreated_ = true;  // never retried in a run, even after a failure
    QApplication::restoreOverrideCursor();
  }
  if (window_ && window_->created()) {
    window_->setForeground(true);
    raiseFront();
  }
}

void StatusDialog::createGauges() {
  settings_.receiverExists = false;
  const float scale = layout_.windowScale;
  auto window = std::make_unique<InstrumentWindow>(scale, [this](int x, int y, int w, int h) {
    auto made = std::make_unique<platform::QtGlWindow>();
    glWindow_ = made.get();
    if (!made->createGl(x, y, w, h)) {
      glWindow_ = nullptr;
      return std::unique_ptr<platform::GlSurface>();
    }
    return std::unique_ptr<platform::GlSurface>(std::move(made));
  });
  if (!window->create(0, 0, layout_.monitorWidth, layout_.monitorHeight)) {
    statusText_ = "Fehler bei der Initialisierung von OpenGL!";
    updateControls();
    return;
  }
  window_ = std::move(window);
  glWindow_->onForeground = [this](bool f) { window_->setForeground(f); };

  monitorText_ = QString::asprintf("%d x %d %s: %d", layout_.screenWidth, layout_.screenHeight, "Monitors",
                                   layout_.monitorCount);
  if (layout_.monitorCount > 1) {
    leftButton_->setEnabled(true);
    rightButton_->setEnabled(true);
  }
  statusText_ = composeStatusText();
  updateControls();

  for (int slot = 0; slot < kSlotCount; ++slot)
    window_->setPlacement(InstrumentWindow::defaultPlacement(slot), 1u << slot);
  readSettings(settingsFileName_, settings_, *window_, *this);
  if (settings_.manualMode) {
    monitorText_ = "Manuel Selection!";
  } else if (!settings_.placementsFromFile) {
    window_->scalePlacements(scale);
  }
  for (int slot = 0; slot < kSlotCount; ++slot) window_->instrumentFactory(slot, window_->getPlacement(1u << slot).type);
  glWindow_->show();

  link_ = std::make_unique<ReceiveLink>(window_->exchange());
  settings_.receiverExists = true;
  openReceiver();
  renderTimer_.start();
  show();
  configurationButton_->setEnabled(true);
  updateControls();
}

bool StatusDialog::openReceiver() {
  if (!link_) return false;
  watchdogTimer_.stop();
  const bool ok = link_->openReceiver(settings_.port, settings_.address.c_str(), settings_.multicastInterface.c_str());
  if (ok) watchdogTimer_.start();  // restarts its period
  return ok;
}

void StatusDialog::closeReceiver() {
  if (link_) link_->closeReceiver();
}

void StatusDialog::openConfiguration() {
  if (window_) runConfigurationDialog(*this, this);
}

bool StatusDialog::writeSettings() {
  return window_ && ::writeSettings(settingsFileName_, settings_, *window_);
}

void StatusDialog::renderTick() {
  if (!window_) return;
  keepFront();
  window_->renderPass();
  statusText_ = composeStatusText();
  updateControls();
}

// Raising a window on every tick has the window manager restack it 33 times
// a second against every other window: the front window is raised when the
// front changes hands, and when another program's window comes over the
// instruments.
void StatusDialog::keepFront() {
  const bool instruments = window_->foreground();
  if (instruments != instrumentsInFront_) {
    raiseFront();
    return;
  }
  if (++coverTicks_ < kCoverCheckTicks) return;
  coverTicks_ = 0;
  if (!instruments) {
    // The dialog holds the front; the instruments may still have been
    // raised over it by the window manager on the click that handed it over.
    if (glWindow_->liesOver(windowHandle())) raiseFront();
    return;
  }
  std::vector<std::uint32_t> covering = glWindow_->coveringWindows();
  // A window that stays over everything (a panel) is raised past once, not
  // fought over on every check.
  if (!covering.empty() && covering != lastCovering_) raiseFront();
  lastCovering_ = std::move(covering);
}

void StatusDialog::raiseFront() {
  instrumentsInFront_ = window_->foreground();
  if (instrumentsInFront_) {
    glWindow_->showNormal();
    glWindow_->raise();
    // A message box waits for the operator: it stays above the instruments.
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && qobject_cast<QMessageBox*>(w)) w->raise();
  } else {
    showNormal();
    raise();
  }
}

QString StatusDialog::composeStatusText() const {
  QString text = QString::fromStdString(window_->statusText());
  // Where the data should come from, so that a blank screen can be told
  // from a wrong port or group at a glance.
  if (link_) {
    const std::string where = link_->receiver().whereText();
    text += QString::fromStdString(link_->receiverOpen() ? "\nReceiving: " + where
                                                         : "\nNot receiving: " + where + " could not be opened");
  }
  return text;
}

void StatusDialog::watchdogTick() {
  if (link_) link_->watchdogTick();
}

void StatusDialog::moveInstrumentWindow(int x, int y, int width, int height) {
  settings_.windowX = x;
  if (glWindow_) glWindow_->place(x, y, width, height);
}

void StatusDialog::disableShiftButtons() {
  leftButton_->setEnabled(false);
  rightButton_->setEnabled(false);
}

void StatusDialog::shiftLeft() {
  if (!window_) return;
  if (settings_.windowX > 0) {
    settings_.windowX -= layout_.monitorWidth;
    --settings_.currentMonitor;
  }
  moveInstrumentWindow(settings_.windowX, 0, layout_.monitorWidth, layout_.monitorHeight);
}

void StatusDialog::shiftRight() {
  if (!window_) return;
  if (settings_.windowX < (layout_.monitorCount - 1) * layout_.monitorWidth) {
    settings_.windowX += layout_.monitorWidth;
    ++settings_.currentMonitor;
  }
  moveInstrumentWindow(settings_.windowX, 0, layout_.monitorWidth, layout_.monitorHeight);
}

void StatusDialog::shutdown() {
  renderTimer_.stop();
  autoShowTimer_.stop();
  // The receive thread is joined before the watchdog and the socket go.
  if (link_) link_->closeReceiver();
  watchdogTimer_.stop();
  link_.reset();
}

void StatusDialog::reject() {}

void StatusDialog::closeEvent(QCloseEvent* e) {
  shutdown();
  e->accept();
  QDialog::done(QDialog::Rejected);
}

void StatusDialog::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange && isMinimized() && window_ && glWindow_) {
    window_->setForeground(true);
    raiseFront();
  }
  QDialog::changeEvent(e);
}

bool StatusDialog::eventFilter(QObject* watched, QEvent* e) {
  if (watched == logo_ && e->type() == QEvent::MouseButtonRelease) {
    showAbout();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void StatusDialog::showAbout() {
  QMessageBox::information(this, windowTitle(), QString("%1    %2").arg(kContact, kVersion));
}
