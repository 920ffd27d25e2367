// The configuration dialog and its type dialog on the offscreen platform,
// working on a real instrument window drawn through EGL.
#include "dialogs/configuration_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "dialogs/icons.h"
#include "host/instrument_window.h"
#include "support/qt_main.h"
#include "support/xvfb.h"
#include "dialogs_support.h"

using namespace dialog_testing;
namespace fs = std::filesystem;

namespace {

const std::string kOld = "[SYSTEM]\nVERSION=v1.0\nHANDMADE=1\n";

class ConfigDialog : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    fs::remove(kSettingsName);
    fs::remove(kSettingsName + ".bak");
  }

  Placement at(int slot) const { return host.ow.window->getPlacement(1u << slot); }
  void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
  std::array<QString, 4> fields(ConfigurationDialog& d, int slot) {
    return {d.fieldEdit(slot, 0)->text(), d.fieldEdit(slot, 1)->text(), d.fieldEdit(slot, 2)->text(),
            d.fieldEdit(slot, 3)->text()};
  }

  testing_support::RecordingSink sink;
  TestHost host;  // 640 x 512, scale 0.5: the move limit is 12 pixels
};

TEST_F(ConfigDialog, OpensWithItsTextsAndSelectAllTogglesRowsAndCommands) {
  ConfigurationDialog d(host);
  d.show();
  EXPECT_EQ(d.windowTitle(), "Configuration");
  EXPECT_EQ(d.selectBox(0)->text(), "Gauge 1");
  EXPECT_EQ(d.selectBox(6)->text(), "Gauge 7");
  EXPECT_EQ(d.autoShowBox()->text(), "Show Gauges automatic");
  EXPECT_EQ(d.netConfButton()->text(), "Net Conf.");
  EXPECT_EQ(d.saveButton()->text(), "Save");
  EXPECT_EQ(d.okButton()->text(), "Ok");
  EXPECT_TRUE(d.okButton()->isDefault());
  EXPECT_EQ(d.rotationRadio(0)->text(), QString::fromUtf8("-90°"));
  for (const char* t : {"Gauge", "x", "y", "dx", "dy", "visible", "Typ", "Rotation"})
    EXPECT_TRUE(labelTexts(&d).contains(t)) << t;
  // 336 x 177 dialog units: about twice as wide as tall.
  EXPECT_GT(d.width(), d.height() * 3 / 2);
  EXPECT_TRUE(d.rotationRadio(1)->isChecked());
  EXPECT_FALSE(d.autoShowBox()->isChecked());
  for (int slot = 0; slot < 7; ++slot) {
    const Placement p = at(slot);
    EXPECT_EQ(fields(d, slot), (std::array<QString, 4>{QString::number(p.x), QString::number(p.y),
                                                       QString::number(p.width), QString::number(p.height)}));
    for (int f = 0; f < 4; ++f) EXPECT_FALSE(d.fieldEdit(slot, f)->isEnabled());
    EXPECT_TRUE(d.visibleBox(slot)->isChecked());
    EXPECT_EQ(d.typeButton(slot)->text(), "<-->");
  }

  // Only the select boxes are live until rows are selected; select all
  // brings every row and command to life, and a second click ends it.
  for (const char* label : {"Select all", "Deselect all", "Select all"}) {
    SCOPED_TRACE(label);
    const bool live = d.selectionMask() != 0;
    EXPECT_EQ(d.selectionMask(), live ? 127u : 0u);
    EXPECT_EQ(d.selectAllButton()->text(), label);
    for (char c : {'h', 'l', 'r', 'd', 'g', 'k'}) EXPECT_EQ(d.commandButton(c)->isEnabled(), live) << c;
    EXPECT_EQ(d.standardButton()->isEnabled(), live);
    for (int slot = 0; slot < 7; ++slot) {
      EXPECT_EQ(d.visibleBox(slot)->isEnabled(), live);
      EXPECT_EQ(d.typeButton(slot)->isEnabled(), live);
    }
    EXPECT_FALSE(d.modified());
    click(d.selectAllButton());
  }
}

TEST_F(ConfigDialog, UpMovesEverySelectedRowAndShowsIt) {
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(1));
  click(d.selectBox(3));
  EXPECT_EQ(d.selectionMask(), 0b1010u);
  EXPECT_TRUE(d.typeButton(1)->isEnabled());
  EXPECT_FALSE(d.typeButton(2)->isEnabled());
  const Placement before[3] = {at(1), at(2), at(3)};
  click(d.commandButton('h'));
  EXPECT_EQ(at(1).y, before[0].y + 1);
  EXPECT_EQ(at(3).y, before[2].y + 1);
  EXPECT_EQ(at(2), before[1]);
  EXPECT_EQ(d.fieldEdit(1, 1)->text(), QString::number(before[0].y + 1));
  EXPECT_EQ(d.fieldEdit(3, 1)->text(), QString::number(before[2].y + 1));
  EXPECT_TRUE(d.modified());
}

TEST_F(ConfigDialog, AdjustCommandsStopAtTheirLimits) {
  // Window 640 x 512 at scale 0.5: an instrument may reach 12 pixels past
  // each edge, and shrinking stops at 50 pixels.
  struct Case {
    char command;
    Placement start, once, twice;
  };
  const Case cases[] = {
      {'l', {-11, 100, 100, 100, 1, 2}, {-12, 100, 100, 100, 1, 2}, {-12, 100, 100, 100, 1, 2}},
      {'r', {550, 100, 101, 100, 1, 2}, {551, 100, 101, 100, 1, 2}, {551, 100, 101, 100, 1, 2}},
      {'d', {100, -11, 100, 100, 1, 2}, {100, -12, 100, 100, 1, 2}, {100, -12, 100, 100, 1, 2}},
      {'h', {100, 422, 100, 101, 1, 2}, {100, 423, 100, 101, 1, 2}, {100, 423, 100, 101, 1, 2}},
      {'g', {-10, 100, 100, 100, 1, 2}, {-11, 99, 102, 102, 1, 2}, {-12, 98, 104, 104, 1, 2}},
      {'g', {-11, 100, 100, 100, 1, 2}, {-12, 99, 102, 102, 1, 2}, {-12, 99, 102, 102, 1, 2}},
      {'k', {100, 100, 53, 55, 1, 2}, {101, 101, 51, 53, 1, 2}, {102, 102, 49, 51, 1, 2}},
      {'k', {100, 100, 51, 300, 1, 2}, {101, 101, 49, 298, 1, 2}, {101, 101, 49, 298, 1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.command));
    host.ow.window->setPlacement(c.start, 1u << 2);
    ConfigurationDialog d(host);
    d.show();
    click(d.selectBox(2));
    click(d.commandButton(c.command));
    EXPECT_EQ(at(2), c.once);
    click(d.commandButton(c.command));
    EXPECT_EQ(at(2), c.twice);
    EXPECT_EQ(d.fieldEdit(2, 0)->text(), QString::number(c.twice.x));
    EXPECT_EQ(d.fieldEdit(2, 3)->text(), QString::number(c.twice.height));
  }
}

TEST_F(ConfigDialog, StandardResetsTheSelectedRowsOnly) {
  host.ow.window->setPlacement({1, 2, 60, 60, 0, 2}, 1u << 2);
  host.ow.window->setPlacement({3, 4, 70, 70, 1, 2}, 1u << 5);
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(5));
  Instrument* clock2 = host.ow.window->instrument(2);
  click(d.standardButton());
  EXPECT_EQ(at(5), (Placement{375, 325, 100, 100, 1, 5}));
  EXPECT_EQ(at(2), (Placement{1, 2, 60, 60, 0, 2}));
  EXPECT_EQ(host.ow.window->instrument(2), clock2);
  EXPECT_EQ(d.fieldEdit(5, 0)->text(), "375");
  EXPECT_TRUE(d.modified());
}

// Ink of the clock in slot 2 (35, 325, 100 x 100 at scale 0.5).
int clockInk(TestHost& h) {
  h.ow.window->renderPass();
  int n = 0;
  for (int y = 335; y < 415; y += 4)
    for (int x = 45; x < 125; x += 4) {
      const auto c = h.ow.at(x, y);
      n += c[0] + c[1] + c[2] > 90;
    }
  return n;
}

TEST_F(ConfigDialog, VisibleBoxHidesAndShowsTheInstrument) {
  for (int slot = 0; slot < 7; ++slot)
    if (slot != 2) host.ow.window->setVisible(1u << slot, 0);
  host.ow.window->instrumentFactory(2, A320_CLOCK);
  ASSERT_TRUE(sink.messages.empty()) << sink.messages.front();
  ASSERT_GT(clockInk(host), 20);
  Instrument* clock = host.ow.window->instrument(2);
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(2));
  click(d.visibleBox(2));
  EXPECT_EQ(at(2).visible, 0);
  EXPECT_EQ(host.ow.window->instrument(2), clock);  // still loaded
  EXPECT_EQ(clockInk(host), 0);
  EXPECT_TRUE(d.modified());
  click(d.visibleBox(2));
  EXPECT_EQ(at(2).visible, 1);
  EXPECT_GT(clockInk(host), 20);
}

void buildAll(TestHost& h) {
  for (int slot = 0; slot < 7; ++slot) h.ow.window->instrumentFactory(slot, h.ow.window->getPlacement(1u << slot).type);
}

TEST_F(ConfigDialog, DoubleClickInTheTypeDialogReplacesThatInstrumentOnly) {
  buildAll(host);
  std::array<Instrument*, 7> before{};
  for (int s = 0; s < 7; ++s) before[std::size_t(s)] = host.ow.window->instrument(s);
  ASSERT_NE(before[0], nullptr);
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(0));
  int opening = -1;
  whenModal<TypeDialog>([&](TypeDialog* t) {
    EXPECT_EQ(t->windowTitle(), "Typ");
    EXPECT_EQ(t->list()->rowCount(), 7);
    EXPECT_EQ(t->list()->item(3, 0)->text(), "A320_RMI");
    opening = t->list()->currentRow();
    QTableWidgetItem* item = t->list()->item(A320_CLOCK, 0);
    // As the mouse does it: press and release, then the double click.
    const QPoint at = t->list()->visualItemRect(item).center();
    QTest::mouseClick(t->list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->list()->viewport(), Qt::LeftButton, {}, at);
  });
  click(d.typeButton(0));
  EXPECT_EQ(opening, A320_ECAM_ENGINE);
  EXPECT_EQ(at(0).type, A320_CLOCK);
  ASSERT_NE(host.ow.window->instrument(0), nullptr);
  EXPECT_EQ(host.ow.window->instrument(0)->type(), A320_CLOCK);
  for (int s = 1; s < 7; ++s) EXPECT_EQ(host.ow.window->instrument(s), before[std::size_t(s)]) << s;
  EXPECT_TRUE(d.modified());
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST_F(ConfigDialog, CancelAfterClicksAndOkOnTheSameTypeChangeNothing) {
  buildAll(host);
  Instrument* engine = host.ow.window->instrument(0);
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(0));
  whenModal<TypeDialog>([](TypeDialog* t) {
    for (int row : {A320_CLOCK, A320_ECAM_SYSTEM})
      QTest::mouseClick(t->list()->viewport(), Qt::LeftButton, {},
                        t->list()->visualItemRect(t->list()->item(row, 0)).center());
    EXPECT_EQ(t->selection(), A320_ECAM_SYSTEM);
    QTest::mouseClick(t->cancelButton(), Qt::LeftButton);
  });
  click(d.typeButton(0));
  EXPECT_EQ(at(0).type, A320_ECAM_ENGINE);
  EXPECT_EQ(host.ow.window->instrument(0), engine);
  EXPECT_FALSE(d.modified());

  // A click beside the items goes back to the opening type; OK then keeps
  // the instrument object.
  whenModal<TypeDialog>([](TypeDialog* t) {
    QTest::mouseClick(t->list()->viewport(), Qt::LeftButton, {},
                      t->list()->visualItemRect(t->list()->item(A320_CLOCK, 0)).center());
    QTest::mouseClick(t->list()->viewport(), Qt::LeftButton, {}, QPoint(5, t->list()->viewport()->height() - 3));
    EXPECT_EQ(t->selection(), A320_ECAM_ENGINE);
    QTest::mouseClick(t->okButton(), Qt::LeftButton);
  });
  click(d.typeButton(0));
  EXPECT_EQ(host.ow.window->instrument(0), engine);
}

TEST(TypeDialogLookup, IgnoresCaseAndKnowsOnlyTheSeven) {
  EXPECT_EQ(TypeDialog::lookup("A320_RMI"), 3);
  EXPECT_EQ(TypeDialog::lookup("a320_airspeed"), 6);
  EXPECT_EQ(TypeDialog::lookup("A320_ECAM"), -1);
  EXPECT_EQ(TypeDialog::lookup(""), -1);
}

TEST_F(ConfigDialog, TypeOutsideTheTableMarksNoRow) {
  TypeDialog t;
  t.setSelection(9);
  whenModal<TypeDialog>([](TypeDialog* td) {
    EXPECT_TRUE(td->list()->selectedItems().isEmpty());
    QTest::mouseClick(td->okButton(), Qt::LeftButton);
  });
  EXPECT_EQ(t.run(), QDialog::Accepted);
  EXPECT_EQ(t.selection(), 9);
}

QImage picture(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

TEST_F(ConfigDialog, RotationDealsOutTheArrowsAndKeepsTheirCommands) {
  ConfigurationDialog d(host);
  d.show();
  const QRect top = d.commandButton('h')->geometry(), left = d.commandButton('l')->geometry(),
              right = d.commandButton('r')->geometry(), bottom = d.commandButton('d')->geometry();
  EXPECT_LT(top.y(), left.y());
  EXPECT_LT(left.x(), right.x());
  EXPECT_GT(bottom.y(), left.y());

  struct {
    int radio;
    float angle;
    char top, left, right, bottom;
  } cases[] = {{0, -90.0f, 'r', 'h', 'd', 'l'}, {2, 90.0f, 'l', 'd', 'h', 'r'}, {1, 0.0f, 'h', 'l', 'r', 'd'}};
  for (const auto& c : cases) {
    click(d.rotationRadio(c.radio));
    EXPECT_EQ(host.ow.window->rotationAngle(), c.angle);
    EXPECT_EQ(d.commandButton(c.top)->geometry(), top) << c.angle;
    EXPECT_EQ(d.commandButton(c.left)->geometry(), left) << c.angle;
    EXPECT_EQ(d.commandButton(c.right)->geometry(), right) << c.angle;
    EXPECT_EQ(d.commandButton(c.bottom)->geometry(), bottom) << c.angle;
    EXPECT_EQ(picture(d.commandButton(c.left)->icon()), picture(dialogs::arrowIcon(dialogs::ArrowIcon::Left)));
    EXPECT_EQ(picture(d.commandButton(c.top)->icon()), picture(dialogs::arrowIcon(dialogs::ArrowIcon::Up)));
  }
  EXPECT_NE(picture(dialogs::arrowIcon(dialogs::ArrowIcon::Left)), picture(dialogs::arrowIcon(dialogs::ArrowIcon::Up)));
  EXPECT_TRUE(d.modified());

  // At -90 the 'h' button sits on the left and still moves up.
  click(d.rotationRadio(0));
  click(d.selectBox(4));
  const int y = at(4).y;
  click(d.commandButton('h'));
  EXPECT_EQ(at(4).y, y + 1);
}

TEST_F(ConfigDialog, AnOddAngleChecksNoRadioAndLeavesTheArrows) {
  host.ow.window->setRotationAngle(45.0f);
  ConfigurationDialog d(host);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.rotationRadio(i)->isChecked());
  EXPECT_LT(d.commandButton('h')->geometry().y(), d.commandButton('l')->geometry().y());
  EXPECT_LT(d.commandButton('l')->geometry().x(), d.commandButton('r')->geometry().x());
  EXPECT_EQ(host.ow.window->rotationAngle(), 45.0f);
}

std::string readKey(const char* section, const char* key) {
  std::string text;
  SettingsFile(kSettingsName).readText(section, key, text);
  return text;
}

TEST_F(ConfigDialog, SaveWritesTheNewValuesAndBacksUpOnlyOnce) {
  testing_support::writeFile(kSettingsName, kOld);
  ConfigurationDialog d(host);
  d.show();
  click(d.selectBox(0));
  click(d.commandButton('r'));
  click(d.rotationRadio(2));
  click(d.autoShowBox());
  click(d.saveButton());
  EXPECT_FALSE(d.modified());
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(host.state.autoShow, 1);
  const Placement p0 = at(0);
  Placement onDisk;
  ASSERT_TRUE(SettingsFile(kSettingsName).readRecord("GAUGE", "INSTR_01", onDisk));
  EXPECT_EQ(onDisk, p0);
  EXPECT_EQ(readKey("SYSTEM", "ROTATE"), "1");
  EXPECT_EQ(readKey("SYSTEM", "AUTOSHOW"), "1");
  EXPECT_EQ(readKey("SYSTEM", "HANDMADE"), "");
  EXPECT_EQ(testing_support::slurp(kSettingsName + ".bak"), kOld);

  click(d.commandButton('r'));
  click(d.autoShowBox());
  click(d.saveButton());
  ASSERT_TRUE(SettingsFile(kSettingsName).readRecord("GAUGE", "INSTR_01", onDisk));
  EXPECT_EQ(onDisk.x, p0.x + 1);
  EXPECT_EQ(readKey("SYSTEM", "AUTOSHOW"), "0");
  // The second save of the run edits the new file; the backup stays the old one.
  EXPECT_EQ(testing_support::slurp(kSettingsName + ".bak"), kOld);
  EXPECT_EQ(host.writes, 2);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
}

TEST_F(ConfigDialog, OkAsksOnlyAfterAChange) {
  {
    ConfigurationDialog d(host);
    d.show();
    click(d.okButton());  // a question here would block: nothing to ask
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
  }
  {
    ConfigurationDialog d(host);
    d.show();
    click(d.rotationRadio(0));
    QString asked;
    whenModal<QMessageBox>([&](QMessageBox* box) {
      asked = box->text();
      EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
      QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    click(d.okButton());
    EXPECT_EQ(asked, "Save Changes ?");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(host.writes, 0);
    EXPECT_FALSE(fs::exists(kSettingsName));
    EXPECT_EQ(host.ow.window->rotationAngle(), -90.0f);  // the change stays in effect
  }
  {
    ConfigurationDialog d(host);
    d.show();
    click(d.rotationRadio(2));
    whenModal<QMessageBox>([](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton); });
    click(d.okButton());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(host.writes, 1);
    EXPECT_EQ(readKey("SYSTEM", "ROTATE"), "1");
  }
  {
    ConfigurationDialog d(host);
    d.show();
    click(d.rotationRadio(1));
    click(d.saveButton());
    click(d.okButton());  // saved: no question
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(host.writes, 2);
  }
}

TEST_F(ConfigDialog, EscapeClosesWithoutAskingOrWriting) {
  ConfigurationDialog d(host);
  d.show();
  click(d.rotationRadio(0));
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(host.writes, 0);
  EXPECT_EQ(host.ow.window->rotationAngle(), -90.0f);
}

TEST_F(ConfigDialog, AFailedSaveSaysWhyAndStaysUnsaved) {
  testing_support::writeFile(kSettingsName, kOld);
  ConfigurationDialog d(host);
  d.show();
  click(d.rotationRadio(2));
  // A file size limit makes the write fail, even for root.
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = limit;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = d.save();
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_TRUE(d.modified());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].rfind("The settings could not be saved to ", 0), 0u) << sink.messages[0];
  EXPECT_NE(sink.messages[0].find(kSettingsName), std::string::npos) << sink.messages[0];
  EXPECT_EQ(testing_support::slurp(kSettingsName), kOld);
  // OK still asks, since nothing was saved.
  bool asked = false;
  whenModal<QMessageBox>([&](QMessageBox* box) {
    asked = true;
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
  });
  click(d.okButton());
  EXPECT_TRUE(asked);
}

}  // namespace
