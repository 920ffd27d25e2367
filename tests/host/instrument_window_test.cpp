#include "host/instrument_window.h"

#include <gtest/gtest.h>

#include "support/offscreen.h"

using namespace testing_support;

namespace {

const Placement kZero{};

TEST(InstrumentWindowSlots, PlacementOperations) {
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  const Placement r{1, 2, 3, 4, 1, 2};
  w.setPlacement(r, 127);
  for (int slot = 0; slot < 7; ++slot) EXPECT_EQ(w.getPlacement(1u << slot), r) << slot;
  struct {
    std::uint32_t mask;
    bool single;
  } masks[] = {{0, false}, {3, false}, {127, false}, {128, false}, {0xffffffffu, false}, {1, true}, {64, true}};
  for (const auto& m : masks) EXPECT_EQ(w.getPlacement(m.mask) == kZero, !m.single) << m.mask;

  w.setVisible(1 | 4, 0);
  EXPECT_EQ(w.getPlacement(1).visible, 0);
  EXPECT_EQ(w.getPlacement(2).visible, 1);
  EXPECT_EQ(w.getPlacement(4).visible, 0);

  w.setPlacement({-7, 9, 101, 55, 1, 3}, 8);
  w.scalePlacements(0.5f);
  EXPECT_EQ(w.getPlacement(8), (Placement{-3, 4, 50, 27, 1, 3}));  // toward zero
}

TEST(InstrumentWindowSlots, ResetToDefaultsScalesAndMakesInstruments) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64, 0.75f);
  InstrumentWindow& w = *ow.window;
  w.resetToDefaults(0x7f);
  EXPECT_EQ(w.getPlacement(1), (Placement{487, -11, 412, 412, 1, 0}));
  EXPECT_EQ(w.getPlacement(4), (Placement{52, 487, 150, 150, 1, 2}));
  EXPECT_EQ(w.getPlacement(64), (Placement{735, 487, 150, 150, 1, 6}));
  ASSERT_NE(w.instrument(2), nullptr);
  EXPECT_EQ(w.instrument(2)->type(), A320_CLOCK);
  // Slot 2 already had the clock type from the first reset: a second one
  // keeps the same object.
  Instrument* before = w.instrument(2);
  w.setPlacement({0, 0, 10, 10, 0, 2}, 4);
  w.resetToDefaults(4);
  EXPECT_EQ(w.instrument(2), before);
  EXPECT_EQ(w.getPlacement(4).visible, 1);
}

TEST(InstrumentWindowSlots, FactoryAndTypes) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  EXPECT_FALSE(w.instrumentFactory(0, -1));
  EXPECT_FALSE(w.instrumentFactory(0, 7));
  EXPECT_FALSE(w.instrumentFactory(7, A320_CLOCK));
  EXPECT_FALSE(w.instrumentFactory(-1, A320_CLOCK));
  EXPECT_EQ(w.instrument(0), nullptr);
  ASSERT_TRUE(w.instrumentFactory(0, A320_CLOCK));
  Instrument* clock = w.instrument(0);
  EXPECT_FALSE(w.instrumentFactory(0, A320_CLOCK));  // occupied
  EXPECT_EQ(w.instrument(0), clock);

  // Same type: nothing happens, the object and its state stay.
  w.setPlacement({0, 0, 64, 64, 1, A320_CLOCK}, 1);
  EXPECT_TRUE(w.setType(0, A320_CLOCK));
  EXPECT_EQ(w.instrument(0), clock);
  // Another type replaces the object; the record keeps the type even when
  // the factory made nothing.
  EXPECT_TRUE(w.setType(0, 99));
  EXPECT_EQ(w.instrument(0), nullptr);
  EXPECT_EQ(w.getPlacement(1).type, 99);
  EXPECT_TRUE(w.setType(0, A320_CLOCK));
  EXPECT_NE(w.instrument(0), nullptr);

  // Two slots of one type hold two objects.
  ASSERT_TRUE(w.instrumentFactory(1, A320_CLOCK));
  EXPECT_NE(w.instrument(1), w.instrument(0));
  EXPECT_TRUE(w.destroySlot(1));
  EXPECT_EQ(w.instrument(1), nullptr);
  EXPECT_TRUE(w.destroySlot(1));  // empty slot
  EXPECT_TRUE(sink.messages.empty());
}

TEST(InstrumentWindowSlots, AdjustCommandsAndLimits) {
  struct Case {
    const char* what;
    Placement start;
    int command;
    int repeat;
    Placement end;
    bool result;
  } cases[] = {
      {"k shrinks to 49 and stops", {10, 10, 55, 55, 1, 2}, 'k', 5, {13, 13, 49, 49, 1, 2}, true},
      {"k needs both sides over 50", {0, 0, 200, 51, 1, 2}, 'k', 3, {1, 1, 198, 49, 1, 2}, true},
      {"l stops at -24", {0, 0, 10, 10, 1, 2}, 'l', 40, {-24, 0, 10, 10, 1, 2}, true},
      {"d stops at -24", {0, 0, 10, 10, 1, 2}, 'd', 40, {0, -24, 10, 10, 1, 2}, true},
      {"r stops 24 past the right edge", {0, 0, 60, 10, 1, 2}, 'r', 40, {28, 0, 60, 10, 1, 2}, true},
      {"h stops 24 past the top", {0, 0, 10, 60, 1, 2}, 'h', 40, {0, 28, 10, 60, 1, 2}, true},
      {"g grows inside the margins", {0, 0, 10, 10, 1, 2}, 'g', 2, {-2, -2, 14, 14, 1, 2}, true},
      {"g stops at any margin", {-23, 0, 10, 10, 1, 2}, 'g', 5, {-24, -1, 12, 12, 1, 2}, true},
      {"unknown command", {5, 5, 20, 20, 1, 2}, 'x', 1, {5, 5, 20, 20, 1, 2}, false},
      {"h saturates instead of overflowing", {0, 2147483647, 10, -2147483647 - 1, 1, 2}, 'h', 2, {0, 2147483647, 10, -2147483647 - 1, 1, 2}, true},
      {"no wrap at the int limit", {2147483647 - 5, 0, 10, 10, 1, 2}, 'r', 3, {2147483647 - 5, 0, 10, 10, 1, 2}, true},
  };
  for (const Case& c : cases) {
    OffscreenWindow ow(64, 64, 1.0f);
    InstrumentWindow& w = *ow.window;
    w.setPlacement(c.start, 4);
    bool result = true;
    for (int i = 0; i < c.repeat; ++i) result = w.adjust(c.command, 4);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(w.getPlacement(4), c.end) << c.what;
    EXPECT_EQ(w.getPlacement(1), kZero) << c.what << ": other slots untouched";
  }
}

TEST(InstrumentWindowRender, MissingDataReportsOnceAndDrawsUntextured) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64, 1.0f, "/nonexistent-data-folder");
  InstrumentWindow& w = *ow.window;
  w.setPlacement({0, 0, 64, 64, 1, A320_CLOCK}, 1);
  ASSERT_TRUE(w.instrumentFactory(0, A320_CLOCK));
  ASSERT_NE(w.instrument(0), nullptr);  // stays in the slot
  EXPECT_EQ(sink.messages, std::vector<std::string>{"A320_CLOCK: Error - Data File missing!"});
  w.renderPass();
  w.renderPass();
  EXPECT_EQ(sink.messages.size(), 1u);
  // Untextured quads in the current colour (white) fill the square; the
  // outline covers the window's left 4 and top 4 columns and rows, the
  // right 2 and the bottom 2.
  EXPECT_EQ(ow.at(32, 32), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(ow.at(3, 32), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(ow.at(4, 32), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(ow.at(32, 60), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(ow.at(32, 59), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(ow.at(62, 32), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(ow.at(61, 32), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(ow.at(32, 1), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(ow.at(32, 2), (std::array<int, 3>{255, 255, 255}));
}

TEST(InstrumentWindowRender, LaterSlotDrawsOverEarlierOnlyWhereDepthAllows) {
  RecordingSink sink;
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  // Two clocks, the second moved right by half: both draw, both visible.
  w.setPlacement({0, 0, 64, 64, 1, 2}, 1);
  w.setPlacement({32, 0, 64, 64, 1, 2}, 2);
  ASSERT_TRUE(w.instrumentFactory(0, 2));
  ASSERT_TRUE(w.instrumentFactory(1, 2));
  w.renderPass();
  const auto left = ow.at(10, 60 - 4), right = ow.at(50, 60 - 4);
  EXPECT_NE(left, (std::array<int, 3>{0, 0, 0}));
  EXPECT_NE(right, (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
