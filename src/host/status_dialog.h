#pragma once
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/configuration_host.h"
#include "host/monitor_layout.h"
#include "host/settings_file.h"

class QLabel;
class QPushButton;
class QGroupBox;
class InstrumentWindow;
class ReceiveLink;
namespace platform {
class QtGlWindow;
}

// The operator's small window: builds the instrument window on Show
// Gauges, owns the receiver and the timers, shifts the instruments between
// monitors, and shuts everything down in order when closed.
class StatusDialog final : public QDialog, private SettingsHost, public ConfigurationHost {
  Q_OBJECT

 public:
  // programFileName without folder, for example "a320-display".
  explicit StatusDialog(const std::string& programFileName, QWidget* parent = nullptr);
  ~StatusDialog() override;

  // Show Gauges, as the button and the auto-show timer run it.
  void showGauges();
  void shiftLeft();
  void shiftRight();
  // Timer ticks, public so that tests can drive them without waiting.
  void renderTick();
  void watchdogTick();

  // What the configuration dialogs work on.
  InstrumentWindow* instrumentWindow() const override { return window_.get(); }
  platform::QtGlWindow* glWindow() const { return glWindow_; }
  SettingsState& settings() override { return settings_; }
  const std::string& settingsFileName() const { return settingsFileName_; }
  bool writeSettings() override;
  void closeReceiver() override;
  bool openReceiver() override;
  // The Configuration button: the dialog, modal over this one only.
  void openConfiguration();

  const MonitorLayout& monitors() const { return layout_; }
  bool gaugesCreated() const { return gaugesCreated_; }
  bool autoShowPending() const { return autoShowTimer_.isActive(); }
  bool renderRunning() const { return renderTimer_.isActive(); }
  bool watchdogRunning() const { return watchdogTimer_.isActive(); }
  QString statusText() const { return statusText_; }
  QString monitorText() const { return monitorText_; }
  QPushButton* showGaugesButton() const { return showGaugesButton_; }
  QPushButton* configurationButton() const { return configurationButton_; }
  QPushButton* leftButton() const { return leftButton_; }
  QPushButton* rightButton() const { return rightButton_; }
  QPushButton* closeButton() const { return closeButton_; }
  QLabel* logo() const { return logo_; }

  // Shuts down in order: render timer, receive thread, watchdog, receiver.
  void shutdown();

 protected:
  void reject() override;  // Escape: swallowed
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void buildControls();
  void createGauges();
  void updateControls();
  // The OpenGL version, then where the receiver listens.
  QString composeStatusText() const;
  void moveInstrumentWindow(int x, int y, int width, int height) override;
  void disableShiftButtons() override;
  void showAbout();
  void keepFront();
  void raiseFront();

  std::string programFileName_;
  std::string settingsFileName_;
  QString statusText_ = "Status";
  QString monitorText_;
  MonitorLayout layout_;
  SettingsState settings_;
  bool gaugesCreated_ = false;
  std::unique_ptr<InstrumentWindow> window_;
  platform::QtGlWindow* glWindow_ = nullptr;
  std::unique_ptr<ReceiveLink> link_;
  QTimer renderTimer_, watchdogTimer_, autoShowTimer_;
  double pixelRatio_ = 1.0;
  // Which window was last raised, and what covered the instruments at the
  // last look; other programs' windows are looked for every few ticks.
  bool instrumentsInFront_ = false;
  static constexpr int kCoverCheckTicks = 10;
  int coverTicks_ = 0;
  std::vector<std::uint32_t> lastCovering_;

  QPushButton* showGaugesButton_ = nullptr;
  QPushButton* leftButton_ = nullptr;
  QPushButton* rightButton_ = nullptr;
  QPushButton* configurationButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QGroupBox* group_ = nullptr;
  QLabel* shiftLabel_ = nullptr;
  QLabel* monitorBox_ = nullptr;
  QLabel* logo_ = nullptr;
  QLabel* statusLine_ = nullptr;
};
