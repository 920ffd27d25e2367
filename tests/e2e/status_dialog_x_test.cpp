// The status dialog with real gauges, on a virtual X server twice as wide
// as one 1280 x 1024 panel, driven through Qt.
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "host/instrument_window.h"
#include "host/udp_receiver.h"
#include "host/status_dialog.h"
#include "platform/qt_gl_window.h"
#include "support/qt_test_main.h"
#include "support/offscreen.h"
#include "support/xvfb.h"

using namespace testing_support;

namespace {

const char* kProgram = "a320-dialog-x-test";

TEST(StatusDialogX, ShowGaugesOnATwoPanelScreen) {
  RecordingSink sink;
  StatusDialog d(kProgram);
  d.show();
  EXPECT_EQ(d.monitors().monitorCount, 2);
  EXPECT_EQ(d.monitors().monitorWidth, 1280);
  EXPECT_FALSE(d.configurationButton()->isEnabled());
  QTest::mouseClick(d.showGaugesButton(), Qt::LeftButton);
  ASSERT_TRUE(d.gaugesCreated());
  ASSERT_NE(d.instrumentWindow(), nullptr);
  ASSERT_TRUE(d.instrumentWindow()->created());
  EXPECT_TRUE(d.configurationButton()->isEnabled());
  EXPECT_TRUE(d.leftButton()->isEnabled());
  EXPECT_TRUE(d.rightButton()->isEnabled());
  EXPECT_EQ(d.monitorText(), "2560 x 1024 Monitors: 2");
  EXPECT_NE(d.statusText().indexOf("Mesa"), -1) << d.statusText().toStdString();
  EXPECT_TRUE(d.renderRunning());
  EXPECT_TRUE(d.watchdogRunning());
  EXPECT_EQ(d.glWindow()->geometry(), QRect(0, 0, 1280, 1024));
  // The default records scaled by 1024 / 1024, with their instruments.
  EXPECT_EQ(d.instrumentWindow()->getPlacement(4), (Placement{70, 650, 200, 200, 1, 2}));
  ASSERT_NE(d.instrumentWindow()->instrument(2), nullptr);

  QTest::mouseClick(d.rightButton(), Qt::LeftButton);
  EXPECT_EQ(d.glWindow()->geometry().x(), 1280);
  EXPECT_EQ(d.settings().currentMonitor, 1);
  QTest::mouseClick(d.rightButton(), Qt::LeftButton);  // already on the last monitor
  EXPECT_EQ(d.glWindow()->geometry().x(), 1280);
  EXPECT_EQ(d.settings().currentMonitor, 1);
  QTest::mouseClick(d.leftButton(), Qt::LeftButton);
  EXPECT_EQ(d.glWindow()->geometry().x(), 0);
  EXPECT_EQ(d.settings().currentMonitor, 0);
  QTest::mouseClick(d.leftButton(), Qt::LeftButton);
  EXPECT_EQ(d.glWindow()->geometry().x(), 0);
  EXPECT_EQ(d.settings().currentMonitor, 0);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST(StatusDialogX, SecondShowGaugesOnlyBringsTheWindowBack) {
  RecordingSink sink;
  StatusDialog d(kProgram);
  d.show();
  d.showGauges();
  InstrumentWindow* first = d.instrumentWindow();
  ASSERT_NE(first, nullptr);
  // A right click on the instruments hands the front to the dialog.
  QTest::mousePress(d.glWindow(), Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_FALSE(first->foreground());
  d.renderTick();
  QTest::mouseClick(d.showGaugesButton(), Qt::LeftButton);
  EXPECT_EQ(d.instrumentWindow(), first);
  EXPECT_TRUE(first->foreground());
  // A left release gives it to the instruments as well.
  QTest::mousePress(d.glWindow(), Qt::RightButton, {}, QPoint(10, 10));
  QTest::mouseRelease(d.glWindow(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(first->foreground());
}

TEST(StatusDialogX, ShutdownStopsTimersAndReceiverInOrder) {
  RecordingSink sink;
  StatusDialog d(kProgram);
  d.show();
  d.showGauges();
  ASSERT_TRUE(d.watchdogRunning());
  const std::uint16_t port = d.settings().port;
  d.close();
  EXPECT_FALSE(d.renderRunning());
  EXPECT_FALSE(d.watchdogRunning());
  // The port is free again once the dialog is closed.
  UdpReceiver r;
  EXPECT_TRUE(r.open(port, "127.0.0.1"));
  r.close();
}

}  // namespace

int main(int argc, char** argv) { return testing_support::runQtTests(argc, argv, "dialog-x", 2560, 1024, kProgram); }
