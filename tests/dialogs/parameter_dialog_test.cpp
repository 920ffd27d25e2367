// The parameter dialog: its checks, and the flap detents and weight unit
// reaching the engine and warning display at its next frame.
#include "dialogs/parameter_dialog.h"

#include <GL/gl.h>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

#include "dialogs/configuration_dialog.h"
#include "dialogs_support.h"
#include "ecam/draw/primitives.h"
#include "ecam/ewd/engine_warning_display.h"
#include "host/instrument_window.h"
#include "support/locale_scope.h"

using namespace dialog_testing;

namespace {

constexpr int kSize = 550;
using Pixels = std::vector<std::uint8_t>;

struct Box {
  float x0, y0, x1, y1;
};
// The detent name under the flap indicator, and engine 1's fuel flow.
constexpr Box kFlapName = {0.40f, -0.115f, 0.65f, -0.035f};
constexpr Box kFlow1 = {-0.73f, -0.245f, -0.17f, -0.135f};

int toPixel(float v) { return int(std::floor((v + 1.0f) * 0.5f * float(kSize))); }

// Calls fn with the offset of every pixel of the box.
template <class Fn>
void forBox(Box b, Fn fn) {
  for (int y = toPixel(b.y0); y <= toPixel(b.y1); ++y)
    for (int x = toPixel(b.x0); x <= toPixel(b.x1); ++x) fn((std::size_t(kSize - 1 - y) * kSize + std::size_t(x)) * 4);
}
template <class Pred>
int count(const Pixels& p, Box b, Pred is) {
  int n = 0;
  forBox(b, [&](std::size_t i) { n += is(int(p[i]), int(p[i + 1]), int(p[i + 2])); });
  return n;
}
bool green(int r, int g, int b) { return g > 100 && r < 0.25 * g && b < 0.25 * g; }
bool cyan(int r, int g, int b) { return b > 100 && g > 0.7 * b && r < 0.4 * b; }

int differing(const Pixels& a, const Pixels& b, Box box) {
  int n = 0;
  forBox(box, [&](std::size_t i) {
    for (std::size_t c = 0; c < 3; ++c) n += std::abs(int(a[i + c]) - int(b[i + c])) > 6;
  });
  return n;
}

class Parameters : public ::testing::Test {
 protected:
  void SetUp() override {
    // Only the engine display, over the whole window.
    host.ow.window->setVisible(127, 0);
    host.ow.window->setPlacement({0, 0, kSize, kSize, 1, A320_ECAM_ENGINE}, 1);
    ASSERT_TRUE(host.ow.window->instrumentFactory(0, A320_ECAM_ENGINE));
    ASSERT_TRUE(sink.messages.empty()) << sink.messages.front();
  }

  Pixels render(const FlightDataBlock& b) {
    host.ow.window->setData(b.bytes.data());
    host.ow.window->renderPass();
    return host.ow.pixels();
  }

  // Runs Parameter with fn inside the dialog.
  void withDialog(ConfigurationDialog& d, std::function<void(ParameterDialog*)> fn) {
    whenModal<ParameterDialog>(std::move(fn));
    QTest::mouseClick(d.parameterButton(), Qt::LeftButton);
  }

  testing_support::RecordingSink sink;
  TestHost host{kSize, kSize, 1.0f};
};

TEST_F(Parameters, ShowsTheDefaultsRefusesBadNumbersAndCancelKeepsEverything) {
  struct Case {
    int row;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {3, "95", "Geben Sie bitte eine Zahl zwischen 0 und 90 ein."},
      {0, "-0.5", "Geben Sie bitte eine Zahl zwischen 0 und 90 ein."},
      {5, "1e400", "Geben Sie bitte eine Zahl zwischen 0 und 90 ein."},
      {1, "abc", "Geben Sie bitte eine Zahl ein."},
      {2, "", "Geben Sie bitte eine Zahl ein."},
      {4, "nan", "Geben Sie bitte eine Zahl ein."},
      {4, "12,5,0", "Geben Sie bitte eine Zahl ein."},
  };
  ConfigurationDialog d(host);
  d.show();
  QStringList shown;
  withDialog(d, [&](ParameterDialog* p) {
    EXPECT_EQ(p->windowTitle(), "Parameter");
    EXPECT_EQ(p->okButton()->text(), "Ok");
    EXPECT_EQ(p->cancelButton()->text(), "Cancel");
    for (const char* t : {"Flaps Position", "5"}) EXPECT_TRUE(labelTexts(p).contains(t)) << t;
    EXPECT_EQ(p->findChild<QGroupBox*>()->title(), "Weight Unit");
    for (int i = 0; i < 6; ++i) shown << p->flapEdit(i)->text();
    EXPECT_TRUE(p->kgButton()->isChecked());
    EXPECT_FALSE(p->lbButton()->isChecked());
    QTest::mouseClick(p->cancelButton(), Qt::LeftButton);
  });
  EXPECT_EQ(shown, (QStringList{"0", "3", "15", "25", "30", "40"}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    sink.messages.clear();
    bool open = false, focused = false;
    withDialog(d, [&](ParameterDialog* p) {
      p->flapEdit(c.row)->setText(c.text);
      QTest::mouseClick(p->lbButton(), Qt::LeftButton);
      QTest::mouseClick(p->okButton(), Qt::LeftButton);
      open = p->isVisible();
      focused = p->focusWidget() == p->flapEdit(c.row);
      QTest::mouseClick(p->cancelButton(), Qt::LeftButton);
    });
    EXPECT_TRUE(open);
    EXPECT_TRUE(focused);
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
  }
  const float defaults[] = {0, 3, 15, 25, 30, 40};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(host.ow.window->flapsSetting(i), defaults[i]);
  EXPECT_EQ(host.ow.window->weightUnitKg(), 1);
  EXPECT_FALSE(d.modified());
}

// On a German desktop too: "12,5" and "2.5" both read as decimals, and the
// edits show a point.
TEST_F(Parameters, ValuesNeedNotRiseAndReadAlikeUnderEveryLocale) {
  for (const char* locale : {"C", testing_support::kCommaLocale}) {
    SCOPED_TRACE(locale);
    testing_support::LocaleScope scope(locale);
    ASSERT_TRUE(scope.ok()) << testing_support::kMissingCommaLocale;
    for (int i = 0; i < 6; ++i) host.ow.window->setFlapsSetting(i, 0.5f + float(i));
    ConfigurationDialog d(host);
    d.show();
    QStringList shown;
    const char* texts[] = {"40", " 30 ", "2.5", "1E1", "12,5", "0"};
    withDialog(d, [&](ParameterDialog* p) {
      for (int i = 0; i < 6; ++i) shown << p->flapEdit(i)->text();
      for (int i = 0; i < 6; ++i) p->flapEdit(i)->setText(texts[i]);
      QTest::mouseClick(p->okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(shown, (QStringList{"0.5", "1.5", "2.5", "3.5", "4.5", "5.5"}));
    const float want[] = {40, 30, 2.5f, 10, 12.5f, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(host.ow.window->flapsSetting(i), want[i]) << i;
    EXPECT_TRUE(d.modified());
    EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  }
}

TEST_F(Parameters, NewDetentsChangeTheFlapIndicatorOnTheNextFrame) {
  FlightDataBlock b;
  b.setF32(37, 10.0f);
  render(b);
  b.setF32(37, 20.0f);
  render(b);
  // 20 lies between the default detents 15 and 25: "2" in cyan, travelling.
  const Pixels before = render(b);
  EXPECT_GT(count(before, kFlapName, cyan), 10);
  EXPECT_EQ(count(before, kFlapName, green), 0);

  ConfigurationDialog d(host);
  d.show();
  withDialog(d, [](ParameterDialog* p) {
    p->flapEdit(3)->setText("20");
    QTest::mouseClick(p->okButton(), Qt::LeftButton);
  });
  EXPECT_EQ(host.ow.window->flapsSetting(3), 20.0f);
  // Now 20 is detent 3 itself: "2" in green.
  const Pixels after = render(b);
  EXPECT_GT(count(after, kFlapName, green), 10);
  EXPECT_EQ(count(after, kFlapName, cyan), 0);
  EXPECT_EQ(static_cast<EngineWarningDisplay*>(host.ow.window->instrument(0))->flapMotion, 0);
}

TEST_F(Parameters, WeightUnitSwitchesTheReadouts) {
  auto* ewd = static_cast<EngineWarningDisplay*>(host.ow.window->instrument(0));
  FlightDataBlock b;
  b.setF32(120, 1000.0f);  // engine 1 fuel flow, pounds an hour
  auto reference = [&](bool kg) {
    testing_support::beginReferenceFrame(kSize, kSize);
    DrawText(ewd->font(), "F.F", 0, 0.9f, -0.37f, -0.16f, -0.8f);
    DrawText(ewd->font(), kg ? " 454" : "1000", 2, 0.9f, -0.72f, -0.21f, -0.8f);
    DrawText(ewd->font(), kg ? "KG/H" : "LB/H", 1, 0.9f, -0.395f, -0.24f, -0.8f);
    glFinish();
    return host.ow.pixels();
  };
  const Pixels kgRef = reference(true), lbRef = reference(false);
  ASSERT_GT(differing(kgRef, lbRef, kFlow1), 20);
  EXPECT_EQ(differing(render(b), kgRef, kFlow1), 0);

  ConfigurationDialog d(host);
  d.show();
  withDialog(d, [](ParameterDialog* p) {
    QTest::mouseClick(p->lbButton(), Qt::LeftButton);
    QTest::mouseClick(p->okButton(), Qt::LeftButton);
  });
  EXPECT_EQ(host.ow.window->weightUnitKg(), 0);
  EXPECT_EQ(differing(render(b), lbRef, kFlow1), 0);

  bool lbChecked = false;
  withDialog(d, [&](ParameterDialog* p) {
    lbChecked = p->lbButton()->isChecked();
    QTest::mouseClick(p->kgButton(), Qt::LeftButton);
    QTest::mouseClick(p->okButton(), Qt::LeftButton);
  });
  EXPECT_TRUE(lbChecked);
  EXPECT_EQ(host.ow.window->weightUnitKg(), 1);
  EXPECT_EQ(differing(render(b), kgRef, kFlow1), 0);
}

}  // namespace
