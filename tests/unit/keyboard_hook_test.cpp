#include "osd/keyboard_hook.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "entry_script.h"

namespace bk {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Hook, EntryScriptTest,
    ::testing::Values(
        Script{"auto-repeat is swallowed; the symbol comes on the release", "input +2 +2 +2 +2",
               ""},
        Script{"one symbol for a held key", "input +2 +2 +2 -2", "", "a"},
        Script{"the Shift state of the press counts", "input +lshift +3 -lshift -3", "", "",
               "shift"},
        Script{"Shift pressed after the 3 does not", "input +3 +lshift -3 -lshift", "", "d"},
        Script{"right Shift with 3 reaches the application and resets the entry",
               "input 2 +rshift 3 -rshift 1000ms", "#"},
        Script{"a key pressed under the right Shift passes, also when its release comes later",
               "input +2 +rshift -2 +3 -rshift -3 1000ms", "#"},
        Script{"a key pressed before the right Shift keeps its symbol",
               "input +3 +rshift -3 -rshift", "", "d"},
        Script{"left Shift with 2 passes", "input 2 +lshift 2 -lshift 1000ms", "@"},
        Script{"left Shift with Enter or Escape passes", "input +lshift enter esc -lshift",
               "<shift+enter><shift+esc>"},
        Script{"a numeric-keypad digit passes", "input np0 np9", "09"},
        Script{"only the pending key makes a symbol", "input +2 +5 -5 -2", "", "a"},
        Script{"a digit pressed while Alt is pending is swallowed and makes nothing",
               "input +lalt 2 -lalt", ""},
        Script{"arrows pass and end the selection", "input 2 left right up down 1000ms",
               "<left><right><up><down>"},
        Script{"a function key passes and resets the entry", "input # 2 f5 1000ms", "<f5>"},
        Script{"keys that another program injects are taps too",
               "input ext:2 ext:2 1000ms ext:enter", "b<enter>"},
        // The program's own keys come back through the hook, and pass: an Enter typed on the
        // layout that counted as a tap would type Enter again, for ever.
        Script{"the program's own Enter passes the hook once", "input enter", "<enter>"},
        Script{"a release missed while the layout was down leaves nothing pending",
               "input +2 input -2 input 5", "", "j"},
        Script{"Shift let go while the layout was down", "input +lshift input -lshift input 3", "",
               "d"},
        Script{"Shift held as the layout comes up makes 3 a #", "+lshift input 3 -lshift", "", "",
               "shift"},
        Script{"the right Shift let go while the layout was down",
               "input +rshift input -rshift input 3", "", "d"}));

class HookTest : public fake::BkTest {};

TEST_F(HookTest, AFreshInstallationHasNoKeyPending) {
  Start();
  Run("input +lshift +2 input -2 -lshift input");
  EXPECT_EQ(pendingKey, 0u);
  EXPECT_FALSE(pendingShift);
  Run("hide");
}

TEST_F(HookTest, TheProgramsEndLetsTheLatchedModifiersUp) {
  Start();
  Run("input 100ms click:shift B C D");
  EXPECT_EQ(Latched(), "shift,ctrl,start,alt");
  Run("destroy");
  EXPECT_TRUE(fake.HeldByProgram().empty());
  EXPECT_EQ(fake.hook, 0u);
  EXPECT_FALSE(layoutShown);
}

}  // namespace
}  // namespace bk
