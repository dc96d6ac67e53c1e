#include "osd/osd_window.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {
namespace {

class OsdTest : public fake::BkTest {};

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
