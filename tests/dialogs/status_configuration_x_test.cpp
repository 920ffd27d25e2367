// The Configuration button of the real status dialog, with real gauges on
// a virtual X server: the instruments keep drawing and keep their mouse
// while the dialog is up, the status dialog waits, and Save goes through the
// status dialog.
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/configuration_dialog.h"
#include "dialogs_support.h"
#include "host/instrument_window.h"
#include "host/status_dialog.h"
#include "platform/qt_gl_window.h"
#include "support/qt_test_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using dialog_testing::whenModal;
namespace fs = std::filesystem;

namespace {

const char* kProgram = "a320-config-x-test";
const char* kFile = "a320-config-x-test.cfg";

// Counts the mouse presses that reach a widget, and swallows them.
struct PressCounter : QObject {
  bool eventFilter(QObject*, QEvent* e) override {
    presses += e->type() == QEvent::MouseButtonPress;
    return e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease;
  }
  int presses = 0;
};

TEST(ConfigurationX, InstrumentsDrawAndTakeTheMouseWhileTheDialogIsUp) {
  RecordingSink sink;
  StatusDialog d(kProgram);
  d.show();
  d.showGauges();
  InstrumentWindow* w = d.instrumentWindow();
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(d.configurationButton()->isEnabled());
  const int y2 = w->getPlacement(4).y;
  // Clicks through the status dialog's window, as the mouse does: the one
  // that opens the dialog shows that the route reaches the button.
  QPushButton* button = d.configurationButton();
  auto clickConfiguration = [&] {
    QTest::mouseClick(d.windowHandle(), Qt::LeftButton, {}, button->mapTo(&d, button->rect().center()));
  };
  PressCounter reached;
  auto pressesReaching = [&] {
    reached.presses = 0;
    button->installEventFilter(&reached);
    clickConfiguration();
    button->removeEventFilter(&reached);
    return reached.presses;
  };
  EXPECT_EQ(pressesReaching(), 1);  // and the counter sees them
  int pressesWhileOpen = -1;

  float drawn = 0;
  bool handedToDialog = false, handedBack = false;
  whenModal<ConfigurationDialog>([&](ConfigurationDialog* c) {
    // The status dialog waits while the dialog is up: no press reaches its
    // button (one that did is swallowed, so it cannot open a second dialog).
    pressesWhileOpen = pressesReaching();
    FlightDataBlock b;
    b.setF32(200, 42.5f);
    w->setData(b.bytes.data());
    QTest::qWait(300);
    drawn = w->frameBlock().f32(200);  // only a render pass takes the block
    QTest::mousePress(d.glWindow(), Qt::RightButton, {}, QPoint(20, 20));
    handedToDialog = !w->foreground();
    QTest::mouseRelease(d.glWindow(), Qt::LeftButton, {}, QPoint(20, 20));
    handedBack = w->foreground();
    QTest::mouseClick(c->selectBox(2), Qt::LeftButton);
    QTest::mouseClick(c->commandButton('h'), Qt::LeftButton);
    c->reject();
  });
  clickConfiguration();
  EXPECT_EQ(pressesWhileOpen, 0);
  EXPECT_EQ(drawn, 42.5f);
  EXPECT_TRUE(handedToDialog);
  EXPECT_TRUE(handedBack);
  EXPECT_EQ(w->getPlacement(4).y, y2 + 1);
  EXPECT_TRUE(d.renderRunning());
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST(ConfigurationX, SaveWritesThroughTheStatusDialog) {
  RecordingSink sink;
  StatusDialog d(kProgram);
  d.show();
  d.showGauges();
  ASSERT_NE(d.instrumentWindow(), nullptr);
  whenModal<ConfigurationDialog>([&](ConfigurationDialog* c) {
    QTest::mouseClick(c->autoShowBox(), Qt::LeftButton);
    QTest::mouseClick(c->rotationRadio(0), Qt::LeftButton);
    QTest::mouseClick(c->saveButton(), Qt::LeftButton);
    QTest::mouseClick(c->okButton(), Qt::LeftButton);  // saved: no question
  });
  QTest::mouseClick(d.configurationButton(), Qt::LeftButton);
  EXPECT_EQ(d.settings().autoShow, 1);
  EXPECT_TRUE(d.settings().backupMade);
  const std::string text = slurp(kFile);
  EXPECT_NE(text.find("AUTOSHOW=1"), std::string::npos) << text;
  EXPECT_NE(text.find("ROTATE=-1"), std::string::npos) << text;
  EXPECT_TRUE(fs::exists(std::string(kFile) + ".bak"));
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

}  // namespace

int main(int argc, char** argv) { return testing_support::runQtTests(argc, argv, "config-x", 1280, 1024, kProgram); }
