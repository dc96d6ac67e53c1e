#include "osd/osd_window.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {
namespace {

class OsdTest : public fake::BkTest {};

TEST_F(OsdTest, StartMakesEveryButtonAndTheActiveLayoutShowsItsOwn) {
  Start();
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
  EXPECT_EQ(fake.Find(phonepadLayout[90].button).rect, (Rect{617, 227, 785, 283}));
  EXPECT_EQ(fake.Find(selectionStrip).rect, (Rect{25, 10, 775, 35}));
  // A button names its key only in the active layout.
  EXPECT_EQ(KeyIndexOfButton(keyboardLayout[5].button, 5), 5);
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[5].button, 5), std::nullopt) << "another key";
  // Swapped, the phone pad's buttons show, and a shared sequence keys the last of its keys.
  fake.Show(inputWindow, sw::ShowNoActivate);
  SelectLayout(phonepadLayout.data());
  for (int i : {0, 90}) EXPECT_TRUE(fake.IsVisible(phonepadLayout[i].button)) << i;
  for (int i : {0, 82}) EXPECT_FALSE(fake.IsVisible(keyboardLayout[i].button)) << i;
  EXPECT_EQ(sequenceMap.size(), 90u);
  EXPECT_EQ(phonepadLayout[sequenceMap.at("-none-")].label, "delete");
}

TEST_F(OsdTest, ButtonsThatCannotBeMadeAreLeftOutAndNeverRepainted) {
  fake.childrenBeforeFailure = 10;
  Start();
  EXPECT_EQ(sequenceMap.size(), 83u) << "keys without buttons can still be tapped";
  EXPECT_EQ(KeyIndexOfButton(0, 50), std::nullopt) << "no window is the button of such a key";
  SelectSequence("2");
  SelectLayout(phonepadLayout.data());
  // InvalidateRect or ShowWindow on no window would act on the whole desktop.
  for (WindowId window : fake.invalidated) EXPECT_NE(window, 0u);
  EXPECT_TRUE(fake.log.empty());
}

// Shown, it is placed, hooked and fades in; hidden, during the fade or after it, it goes back to
// layered and transparent, unhooked, and shown again it fades in afresh.
TEST_F(OsdTest, ShowingPlacesHooksAndFadesInHidingUndoesIt) {
  Start();
  for (int steps : {3, 12}) {
    SetLayoutVisible(true);
    EXPECT_EQ(fake.Find(inputWindow).rect, (Rect{240, 699, 1040, 999}));  // 5 pixels up
    fake.Advance(5 * steps);
    EXPECT_EQ(fake.Find(inputWindow).exStyle, steps == 12 ? 0x08000000u : 0x08080000u);
    SetLayoutVisible(false);
    EXPECT_EQ(fake.Find(inputWindow).exStyle, 0x08080000u);
    EXPECT_FALSE(fake.Running(TIMER_FADE));
    EXPECT_EQ(fake.repaintedUnder, (Rect{240, 699, 1040, 999}));
  }
  EXPECT_EQ(fake.alphas, (std::vector<int>{0, 25, 50, 75, 0, 25, 50, 75, 100, 125, 150, 175, 200,
                                           225, 250, 255, 0}));
}

}  // namespace
}  // namespace bk
