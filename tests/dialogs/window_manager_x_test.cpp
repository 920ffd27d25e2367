// The program's windows under a real window manager (openbox) on a virtual
// X server two panels wide, read back off the screen: dialogs paint at once
// over the instruments, message boxes open over the status dialog and above
// the instrument window, and another program's window does not stay over
// the instruments.
#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

#include "dialogs/configuration_dialog.h"
#include "dialogs/parameter_dialog.h"
#include "dialogs/server_dialog.h"
#include "dialogs_support.h"
#include "host/instrument_window.h"
#include "host/status_dialog.h"
#include "platform/message_box.h"
#include "platform/qt_gl_window.h"
#include "platform/qt_message_box.h"
#include "support/qt_test_main.h"
#include "support/xvfb.h"

using namespace testing_support;
using dialog_testing::BusyPort;
using dialog_testing::whenModal;

namespace {

const char* kProgram = "a320-wm-x-test";

QImage onScreen(const QRect& r) {
  return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

// Share of the widget's pixels on screen that show its face colour. Where
// the black instrument window covers it, or it was never painted, it shows
// black instead.
double faceShare(const QWidget* w) {
  const QImage img = onScreen(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
  const QColor face = w->palette().color(QPalette::Window);
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      n += std::abs(c.red() - face.red()) <= 8 && std::abs(c.green() - face.green()) <= 8 &&
           std::abs(c.blue() - face.blue()) <= 8;
    }
  return img.isNull() ? 0.0 : double(n) / (img.width() * img.height());
}

// With events flowing and the instruments drawing, waits up to two seconds
// for the widget to show on screen; the share seen last.
double shownShare(const QWidget* w, double enough = 0.4) {
  double share = 0;
  for (int i = 0; i < 20 && share < enough; ++i) {
    QTest::qWait(100);
    share = faceShare(w);
  }
  return share;
}

// The status dialog with the instruments shown, as the operator leaves it.
class WindowManagerX : public testing::Test {
 protected:
  void SetUp() override {
    d.show();
    d.showGauges();
    ASSERT_NE(d.instrumentWindow(), nullptr);
    QTest::qWait(300);
  }
  void TearDown() override { d.shutdown(); }

  RecordingSink sink;
  StatusDialog d{kProgram};
};

TEST_F(WindowManagerX, DialogsPaintAtOnceWhileTheInstrumentsDraw) {
  // The operator hands the front to the status dialog with a right click on
  // the instruments, which cover it on the first panel.
  QTest::mousePress(d.glWindow(), Qt::RightButton, {}, QPoint(20, 20));
  const double status = shownShare(&d);

  double configuration = 0, server = 0, parameter = 0, question = 0;
  whenModal<ConfigurationDialog>([&](ConfigurationDialog* c) {
    configuration = shownShare(c);
    whenModal<ServerDialog>([&](ServerDialog* s) {
      server = shownShare(s);
      s->reject();
    });
    QTest::mouseClick(c->netConfButton(), Qt::LeftButton);
    whenModal<ParameterDialog>([&](ParameterDialog* p) {
      parameter = shownShare(p);
      p->reject();
    });
    QTest::mouseClick(c->parameterButton(), Qt::LeftButton);
    QTest::mouseClick(c->selectBox(2), Qt::LeftButton);
    QTest::mouseClick(c->commandButton('h'), Qt::LeftButton);
    whenModal<QMessageBox>([&](QMessageBox* q) {
      question = shownShare(q);
      q->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(c->okButton(), Qt::LeftButton);
  });
  QTest::mouseClick(d.configurationButton(), Qt::LeftButton);
  EXPECT_GE(status, 0.4);
  EXPECT_GE(configuration, 0.4);
  EXPECT_GE(server, 0.4);
  EXPECT_GE(parameter, 0.4);
  EXPECT_GE(question, 0.4);
  EXPECT_TRUE(d.renderRunning());
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

// Real clicks, which the window manager sees too (it raises the window
// clicked on): a right click on the instruments brings the status dialog
// forward, a left click gives the front back, every time.
TEST_F(WindowManagerX, ClicksOnTheInstrumentsHandTheFrontOver) {
  const std::string click = "DISPLAY=" + qEnvironmentVariable("DISPLAY").toStdString() + " xdotool mousemove 700 300 click ";
  auto waitFor = [&](bool dialogInFront) {
    double share = faceShare(&d);
    for (int i = 0; i < 20 && (share >= 0.4) != dialogInFront; ++i) {
      QTest::qWait(100);
      share = faceShare(&d);
    }
    return share;
  };
  ASSERT_LT(waitFor(false), 0.1) << "the instruments should cover the status dialog at first";
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(std::system((click + "3").c_str()), 0);
    EXPECT_GE(waitFor(true), 0.4) << "right click: the status dialog stays behind the instruments";
    EXPECT_FALSE(d.instrumentWindow()->foreground());
    EXPECT_FALSE(d.glWindow()->liesOver(d.windowHandle()));
    ASSERT_EQ(std::system((click + "1").c_str()), 0);
    EXPECT_LT(waitFor(false), 0.1) << "left click: the instruments stay behind the status dialog";
    EXPECT_TRUE(d.instrumentWindow()->foreground());
    EXPECT_TRUE(d.glWindow()->liesOver(d.windowHandle()));
  }
}

// A receiver error with the instruments on either panel: the box opens
// centred over the status dialog on the first panel, in full view.
TEST(WindowManagerXPanels, MessageBoxesOpenOverTheStatusDialogAboveTheInstruments) {
  for (const int monitor : {0, 1}) {
    SCOPED_TRACE(monitor);
    StatusDialog d(kProgram);
    d.show();
    d.showGauges();
    ASSERT_NE(d.instrumentWindow(), nullptr);
    if (monitor == 1) d.shiftRight();
    QTest::qWait(300);
    ASSERT_EQ(d.glWindow()->placement().x(), 1280 * monitor);

    platform::installQtMessageSink(&d);
    BusyPort busy;
    d.settings().port = busy.port;
    QString text;
    QRect box;
    double share = 0;
    whenModal<QMessageBox>([&](QMessageBox* b) {
      share = shownShare(b);
      text = b->text();
      box = b->frameGeometry();
      b->accept();
    });
    d.closeReceiver();
    EXPECT_FALSE(d.openReceiver());
    platform::setMessageSink(nullptr);

    EXPECT_EQ(text, "Error bind(...)");
    EXPECT_GE(share, 0.4) << "the box is covered or unpainted";
    EXPECT_LE(box.right(), 1280) << "the box reaches into the second panel";
    EXPECT_NEAR(box.center().x(), d.frameGeometry().center().x(), 2);
    d.shutdown();
  }
}

// Another program's window that comes over the instruments is raised past.
TEST_F(WindowManagerX, AnotherProgramsWindowDoesNotStayOverTheInstruments) {
  const std::string display = qEnvironmentVariable("DISPLAY").toStdString();
  const pid_t other = spawnProcess({"xlogo", "-geometry", "300x300+600+100", "-bg", "white", "-fg", "white"},
                                   {"DISPLAY=" + display}, "", "/tmp/a320-wm-xlogo.log");
  // Shown: the window manager has mapped it (it is white where it lies).
  const QRect area(650, 150, 200, 200);
  auto whiteShare = [&] {
    const QImage img = onScreen(area);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += qGray(img.pixel(x, y)) > 240;
    return double(n) / (img.width() * img.height());
  };
  ASSERT_EQ(std::system(("DISPLAY=" + display + " xdotool search --sync --onlyvisible --class xlogo >/dev/null").c_str()), 0);
  std::vector<std::uint32_t> covering;
  for (int i = 0; i < 30 && covering.empty(); ++i) {
    covering = d.glWindow()->coveringWindows();
    QTest::qWait(10);
  }
  EXPECT_FALSE(covering.empty()) << "xlogo over the instruments is not seen";
  double white = 1;
  for (int i = 0; i < 30 && white > 0.05; ++i) {
    QTest::qWait(100);
    white = whiteShare();
  }
  EXPECT_LE(white, 0.05) << "xlogo still lies over the instruments";
  EXPECT_TRUE(d.glWindow()->coveringWindows().empty());
  stopProcess(other);
}

}  // namespace

int main(int argc, char** argv) {
  return testing_support::runQtTests(argc, argv, "wm-x", 2560, 1024, kProgram, /*windowManager=*/true);
}
