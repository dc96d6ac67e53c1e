#include "osd/text_entry.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "entry_script.h"
#include "osd/osd_window.h"

namespace bk {
namespace {

TEST_P(EntryScriptTest, TypesSelectsAndLatchesAsTheUserExpects) {
  const Script& s = GetParam();
  driver.Start();
  driver.Run(s.phonepad ? "input hold" : "input");
  ASSERT_TRUE(layoutShown);
  ASSERT_EQ(activeLayout, s.phonepad ? phonepadLayout.data() : keyboardLayout.data());

  driver.Run(s.steps);

  EXPECT_EQ(driver.Typed(), s.typed);
  EXPECT_EQ(driver.Selected(), s.selected);
  EXPECT_EQ(driver.Latched(), s.latched);
  for (std::uint8_t vk : fake.keyboard.KeysHeldByProgram()) {
    EXPECT_EQ(driver.ExpectedHeld().count(vk), 1u) << "held down but not latched: " << int(vk);
  }

  // Hiding the layout ends everything: no selection, no modifier left down.
  driver.Run("hide 1000ms");
  EXPECT_TRUE(fake.keyboard.KeysHeldByProgram().empty());
  EXPECT_EQ(driver.Typed(), s.typed) << "hiding typed nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Taps, EntryScriptTest,
    ::testing::Values(
        Script{"a tap selects, nothing is typed yet", "2 999ms", "", "a"},
        Script{"the second tap moves the mark to b", "2 2", "", "b"},
        Script{"one second after the last tap the key is typed", "2 2 1000ms", "b"},
        Script{"every tap restarts the full second", "2 900ms 2 900ms", "", "b"},
        Script{"third tap", "2 2 2", "", "c"},
        Script{"fifth tap starts again at a", "2 2 2 2 2 1000ms", "a"},
        Script{"another symbol types the waiting key at once", "2 3", "a", "d"},
        Script{"a run of symbols", "4 4 3 3 5 5 5 1000ms 5 5 5 6 6 6 1000ms", "hello"},
        Script{"the digit itself types", "2 2 2 2 1000ms", "2"},
        Script{"enter types the waiting key, then enter", "2 enter", "a<enter>"},
        Script{"escape drops the waiting key", "2 esc 1000ms", ""},
        Script{"escape with nothing selected is backspace", "esc", "<back>"},
        Script{"a symbol key with its own cycle", "1 1 1 1000ms", "="},
        Script{"space", "0 1000ms", " "}, Script{"the @ key types its label", "* * * 1000ms", "@"},
        Script{"the .com key types its characters", "* * * * 1000ms", ".com"},
        Script{"a latched Shift does not change .com", "# * * * * 1000ms", ".com"},
        Script{"the system's Caps Lock does", "caps * * * * 1000ms", ".COM", "", "lock"},
        Script{"# latches Shift", "#", "", "", "shift"},
        Script{"the strip shows the shifted key", "# 2", "", "A", "shift"},
        Script{"Shift applies to one key, then lets go", "# 2 1000ms", "A"},
        Script{"Shift stays for the commit of a waiting key", "# 2 3", "A", "d"},
        Script{"# twice unlatches", "# #", ""},
        Script{"B latches Ctrl for the next key", "B 2 1000ms", "<ctrl+a>"},
        Script{"C latches the Windows key", "C 3 3 1000ms", "<win+e>"},
        Script{"D latches Alt", "D 2 1000ms", "<alt+a>"},
        Script{"Ctrl and Shift together", "B # 2 1000ms", "<ctrl+shift+a>"},
        Script{"a latched Ctrl ends with the selection's commit", "B 2 1000ms 2 1000ms",
               "<ctrl+a>a"},
        Script{"A latches Caps Lock and toggles the system's", "A", "", "", "lock"},
        Script{"Caps Lock types the capital", "A 2 1000ms", "A", "", "lock"},
        Script{"Caps Lock and Shift type the small letter", "A click:shift 2 1000ms", "a", "",
               "lock"},
        Script{"Caps Lock does not shift digits", "A 1 1000ms", "1", "", "lock"},
        Script{"A twice lets Caps Lock go", "A A 2 1000ms", "a"},
        Script{"enter with Shift latched is plain enter", "click:shift enter", "<enter>"},
        Script{"escape after # and 2 types nothing; the timer lets Shift go", "# 2 esc 1000ms", ""},
        Script{"an arrow drops the selection and passes, latches stay", "click:shift 2 left",
               "<shift+left>", "", "shift"},
        Script{"another key drops the selection, lets the latches go, and passes", "# 2 k", "k"},
        Script{"a numeric-keypad digit passes and resets the entry", "2 np5 1000ms", "5"},
        Script{"a click types at once", "click:q", "q"},
        Script{"a click drops the waiting key", "2 click:q 1000ms", "q"},
        Script{"a click with Shift latched types the capital, then lets go", "# click:q", "Q"},
        Script{"a click on a pointer-only key", "click:F5 click:Del", "<f5><del>"},
        Script{"a click on a modifier latches it when the pointer lets go", "click:ctrl", "", "",
               "ctrl"},
        Script{"the pointer held down on a modifier latches nothing yet", "press:ctrl", ""},
        Script{"a clicked right Shift is held as the right Shift", "click#72 2 1000ms", "A"},
        Script{"a click on lock toggles Caps Lock", "click:lock 2 1000ms", "A", "", "lock"},
        Script{"the close key hides the layout; the next digit goes to the application",
               "2 click:x 2", "2"}));

INSTANTIATE_TEST_SUITE_P(
    Phonepad, EntryScriptTest,
    ::testing::Values(
        Script{"the fourth tap selects the capital", "2 2 2 2 1000ms", "A", "", "", true},
        Script{"seven taps select the header digit", "2 2 2 2 2 2 2 1000ms", "2", "", "", true},
        Script{"A is Shift here", "A 2 1000ms", "A", "", "", true},
        Script{"Shift turns the capital key small", "A 2 2 2 2 1000ms", "a", "", "", true},
        Script{"* is punctuation", "* * 1000ms", "-", "", "", true},
        Script{"# then 2: two keys", "# 2 2 1000ms", "?b", "", "", true},
        Script{"the shifted header 6 types ^", "A 6 6 6 6 6 6 6 1000ms", "^", "", "", true},
        Script{"back types backspace", "esc", "<back>", "", "", true},
        Script{"the esc key types Escape", "click:esc", "<esc>", "", "", true},
        Script{"the delete key types Delete, though both share a sequence", "click:delete", "<del>",
               "", "", true},
        Script{"caps lock is pointer only", "click:caps_lock 2 1000ms", "A", "", "caps lock",
               true}));

class TextEntryTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    driver.Start();
    driver.Run("input 100ms");
  }
  fake::EntryDriver driver{fake};
};

TEST_F(TextEntryTest, SymbolsOutsideTheTapVocabularyDoNothing) {
  for (char symbol : {'F', 'Z', 'a', 'x', '\0', '!', '-'}) PressSymbol(symbol);
  EXPECT_TRUE(currentSequence.empty());
  EXPECT_TRUE(fake.keyboard.Calls().empty());
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_COMMIT));
}

TEST_F(TextEntryTest, ClicksOnButtonsThatNameNoKeyOfTheActiveLayoutAreIgnored) {
  const WindowId hiddenLayoutsButton = phonepadLayout[85].button;  // index past the keyboard's
  const WindowId sameIndexOtherLayout = phonepadLayout[35].button;
  for (WindowId button :
       {WindowId{0}, hiddenLayoutsButton, sameIndexOtherLayout, WindowId{0xDEAD}, selectionStrip}) {
    fake.keyboard.Callback([button] { KeyButtonCommand(button); });
  }
  fake.layoutWindow.At(keyboardLayout[35].button).userData = 9999;
  fake.keyboard.Callback([] { KeyButtonCommand(keyboardLayout[35].button); });
  EXPECT_EQ(driver.Typed(), "");
  EXPECT_TRUE(layoutShown);
}

TEST_F(TextEntryTest, ACommitWithNothingSelectedOnlyLetsTheModifiersGo) {
  driver.Run("click:shift 2 esc");
  EXPECT_TRUE(fake.keyboard.IsDown(vk::LShift));
  EXPECT_TRUE(fake.timers.IsRunning(TIMER_COMMIT)) << "escape leaves the timer running";
  driver.Run("1000ms");
  EXPECT_FALSE(fake.keyboard.IsDown(vk::LShift));
  EXPECT_EQ(driver.Typed(), "");
}

TEST_F(TextEntryTest, ASelectionNeverSurvivesALayoutSwitch) {
  // The second 2 restarts the commit timer so that the hold fires first.
  driver.Run("# 2 input+ 900ms 2 100ms input-");
  EXPECT_EQ(activeLayout, phonepadLayout.data());
  EXPECT_EQ(driver.Selected(), "");
  EXPECT_EQ(driver.Latched(), "");
  driver.Run("1000ms");
  EXPECT_EQ(driver.Typed(), "");
}

TEST_F(TextEntryTest, TheCapsLatchFollowsTheSystemWhenTheLayoutIsShown) {
  driver.Run("hide caps input 2 1000ms");
  EXPECT_EQ(driver.Latched(), "lock");
  EXPECT_EQ(driver.Typed(), "A");
}

}  // namespace
}  // namespace bk
