// The status dialog without a display server (Qt's offscreen platform):
// everything up to the moment the instruments need OpenGL.
#include "host/status_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/offscreen.h"
#include "support/qt_main.h"

using namespace testing_support;

namespace {

const char* kProgram = "a320-dialog-test";

class StatusDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::remove("a320-dialog-test.cfg"); }
  void TearDown() override { std::filesystem::remove("a320-dialog-test.cfg"); }
};

TEST_F(StatusDialogTest, StartsWithItsTextsAndOnlyShowGaugesAndCloseEnabled) {
  StatusDialog d(kProgram);
  EXPECT_EQ(d.windowTitle(), "a320-dialog-test  v1.1");
  EXPECT_EQ(d.showGaugesButton()->text(), "Show Gauges");
  EXPECT_EQ(d.configurationButton()->text(), "Configuration");
  EXPECT_EQ(d.leftButton()->text(), "<<");
  EXPECT_EQ(d.rightButton()->text(), ">>");
  EXPECT_EQ(d.closeButton()->text(), "Close");
  EXPECT_TRUE(d.showGaugesButton()->isEnabled());
  EXPECT_TRUE(d.closeButton()->isEnabled());
  EXPECT_FALSE(d.configurationButton()->isEnabled());
  EXPECT_FALSE(d.leftButton()->isEnabled());
  EXPECT_FALSE(d.rightButton()->isEnabled());
  EXPECT_EQ(d.statusText(), "Status");
  EXPECT_FALSE(d.gaugesCreated());
  EXPECT_FALSE(d.logo()->pixmap().isNull());
  // Template proportions: 257 x 164 dialog units are wider than tall.
  EXPECT_GT(d.width(), d.height());
  bool shiftLabel = false;
  for (QLabel* l : d.findChildren<QLabel*>()) shiftLabel |= l->text() == "Shift Window";
  EXPECT_TRUE(shiftLabel);
}

TEST_F(StatusDialogTest, EscapeDoesNothing) {
  StatusDialog d(kProgram);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QTest::keyClick(&d, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(d.result(), 0);
}

TEST_F(StatusDialogTest, AutoShowOnlyForExactlyOne) {
  struct {
    const char* file;
    bool pending;
  } cases[] = {
      // What AUTOSHOW reads as is the settings file's test.
      {nullptr, false},
      {"[SYSTEM]\nAUTOSHOW=1\n", true},
      {"[SYSTEM]\nAUTOSHOW=2\n", false},
  };
  for (const auto& c : cases) {
    if (c.file) writeFile("a320-dialog-test.cfg", c.file);
    else std::filesystem::remove("a320-dialog-test.cfg");
    StatusDialog d(kProgram);
    EXPECT_EQ(d.autoShowPending(), c.pending) << (c.file ? c.file : "no file");
  }
}

TEST_F(StatusDialogTest, CloseButtonEndsLikeOk) {
  StatusDialog d(kProgram);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QTest::mouseClick(d.closeButton(), Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FALSE(d.isVisible());
}

TEST_F(StatusDialogTest, LogoClickOpensTheAboutBox) {
  StatusDialog d(kProgram);
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  QString shown;
  // The box is modal; close it from inside its own event loop.
  QTimer::singleShot(100, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  QTest::mouseClick(d.logo(), Qt::LeftButton);
  EXPECT_TRUE(shown.endsWith("    v1.1")) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith("a320-display")) << shown.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scratch = makeScratchFolder("dialog");
  setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (chdir(scratch.c_str()) != 0) return 1;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  RecordingSink sink;
  const int rc = RUN_ALL_TESTS();
  // Out of the folder before it goes: libraries that look at the working
  // directory later (fontconfig at exit) must not find it deleted.
  if (chdir("/") != 0) return 1;
  std::filesystem::remove_all(scratch);
  return rc;
}
