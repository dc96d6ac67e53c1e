#include "osd/osd_window.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "fake/bk_test.h"
#include "osd/text_entry.h"

namespace bk {
namespace {

class OsdTest : public fake::BkTest {
 protected:
  fake::Window& Input() { return fake.Find(inputWindow); }
  int VisibleButtons(const LayoutKey* layout) {
    int visible = 0;
    for (int i = 0; layout[i].width != 0; ++i) visible += fake.IsVisible(layout[i].button);
    return visible;
  }
};

TEST_F(OsdTest, StartLeavesTheWindowHiddenAndTransparentWithTheKeyboardsButtons) {
  Start();
  EXPECT_EQ(Input().exStyle, 0x08080000u);
  EXPECT_EQ(Input().alpha, 0);
  EXPECT_FALSE(fake.IsVisible(inputWindow));
  EXPECT_EQ(activeLayout, keyboardLayout.data());
  EXPECT_EQ(sequenceMap.size(), 83u);
  for (const LayoutKey* layout : {keyboardLayout.data(), phonepadLayout.data()}) {
    for (int i = 0; layout[i].width != 0; ++i) {
      const fake::Window& button = fake.Find(layout[i].button);
      ASSERT_EQ(button.userData, i);
      EXPECT_EQ(button.style, layout == keyboardLayout.data() ? 0x5000000Bu : 0x4000000Bu);
      EXPECT_EQ(button.parent, inputWindow);
      EXPECT_EQ(fake.blackClass.count(layout[i].button), 1u);
    }
  }
  // Layout point (0, 0) is window point (15, 15).
  EXPECT_EQ(fake.Find(keyboardLayout[0].button).rect, (Rect{779, 5, 795, 25}));
  EXPECT_EQ(fake.Find(phonepadLayout[90].button).rect, (Rect{617, 227, 785, 283}));
  const fake::Window& strip = fake.Find(selectionStrip);
  EXPECT_EQ(strip.style, 0x5000000Du);
  EXPECT_EQ(strip.rect, (Rect{25, 10, 775, 35}));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(OsdTest, ButtonsThatCannotBeMadeAreLeftOutAndNeverRepainted) {
  fake.childrenBeforeFailure = 10;
  Start();
  EXPECT_NE(keyboardLayout[9].button, 0u);
  EXPECT_EQ(keyboardLayout[10].button, 0u);
  EXPECT_EQ(sequenceMap.size(), 83u) << "keys without buttons can still be tapped";
  SelectSequence("2");
  SelectLayout(phonepadLayout.data());
  // InvalidateRect or ShowWindow on no window would act on the whole desktop.
  for (WindowId window : fake.invalidated) EXPECT_NE(window, 0u);
  EXPECT_TRUE(fake.log.empty());
}

TEST_F(OsdTest, SelectLayoutSwapsTheButtonsAndKeysTheLastOfASharedSequence) {
  Start();
  fake.Show(inputWindow, sw::ShowNoActivate);
  SelectLayout(phonepadLayout.data());
  EXPECT_EQ(VisibleButtons(phonepadLayout.data()), 91);
  EXPECT_EQ(VisibleButtons(keyboardLayout.data()), 0);
  EXPECT_EQ(sequenceMap.size(), 90u);
  EXPECT_EQ(phonepadLayout[sequenceMap.at("-none-")].label, "delete");
  SelectLayout(keyboardLayout.data());
  EXPECT_EQ(VisibleButtons(keyboardLayout.data()), 83);
  EXPECT_EQ(VisibleButtons(phonepadLayout.data()), 0);
}

TEST_F(OsdTest, AButtonNamesItsKeyOnlyInTheActiveLayout) {
  Start();
  const WindowId kb5 = keyboardLayout[5].button;
  EXPECT_EQ(KeyIndexOfButton(kb5, 5), 5);
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[90].button, 90), std::nullopt) << "past the end";
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[5].button, 5), std::nullopt) << "another key";
  EXPECT_EQ(KeyIndexOfButton(kb5, -1), std::nullopt);
  EXPECT_EQ(KeyIndexOfButton(0, 0), std::nullopt);
}

// Shown, it is placed, hooked and fades in; hidden, during the fade or after it, it goes back to
// layered and transparent, unhooked, and shown again it fades in afresh.
TEST_F(OsdTest, ShowingPlacesHooksAndFadesInHidingUndoesIt) {
  Start();
  for (int steps : {3, 11}) {
    SetLayoutVisible(true);
    EXPECT_TRUE(fake.IsVisible(inputWindow));
    EXPECT_EQ(Input().rect, (Rect{240, 699, 1040, 999}));  // bottom-centred, 5 pixels up
    EXPECT_EQ(keyboardHook, fake.hook);
    EXPECT_NE(keyboardHook, 0u);
    fake.Advance(5 * steps);
    SetLayoutVisible(false);
    EXPECT_FALSE(fake.IsVisible(inputWindow));
    EXPECT_FALSE(fake.Running(TIMER_FADE));
    EXPECT_EQ(Input().exStyle, 0x08080000u);
    EXPECT_EQ(Input().alpha, 0);
    EXPECT_EQ(fake.hook, 0u);
    EXPECT_EQ(keyboardHook, 0u);
    EXPECT_EQ(fake.repaintedUnder, (Rect{240, 699, 1040, 999}));
  }
  EXPECT_EQ(fake.alphas, (std::vector<int>{0, 25, 50, 75, 0, 25, 50, 75, 100, 125, 150, 175, 200,
                                           225, 250, 255, 0}));
  // Once faded in, the window is no longer layered; a display change re-places it, and nothing
  // else changes.
  SetLayoutVisible(true);
  fake.Advance(55);
  EXPECT_EQ(Input().exStyle, 0x08000000u);
  fake.screen = {0, 0, 1024, 748};
  SyncOsdVisibility();
  EXPECT_EQ(Input().rect, (Rect{112, 443, 912, 743}));
  EXPECT_EQ(keyboardHook, fake.hook);
  EXPECT_FALSE(fake.Running(TIMER_FADE));
  SetLayoutVisible(false);
}

}  // namespace
}  // namespace bk
