#include "osd/keyboard_hook.h"

#include <gtest/gtest.h>

#include "entry_script.h"
#include "state/program_state.h"

namespace bk {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Hook, EntryScriptTest,
    ::testing::Values(
        Script{
            "auto-repeat and keys pressed meanwhile are swallowed; the symbol comes on the release",
            "input +2 +2 +5 -5 -2", "", "a"},
        Script{"the Shift state of the press counts", "input +lshift +3 -lshift -3", "", "",
               "shift"},
        Script{"a key pressed under the right Shift passes, also when its release comes later",
               "input +2 +rshift -2 +3 -rshift -3 1000ms", "#"},
        Script{"after the right Shift's release the number pad taps again",
               "input +rshift -rshift 3", "", "d"},
        Script{"a key pressed before the right Shift keeps its symbol",
               "input +3 +rshift -3 -rshift", "", "d"},
        Script{"left Shift with 2, Enter or Escape passes", "input +lshift 2 enter esc -lshift",
               "@<shift+enter><shift+esc>"},
        Script{"down, the last arrow, passes and keeps the latches", "input click:shift 2 down",
               "<shift+down>", "", "shift"},
        Script{"keys that another program injects are taps too", "input ext:2 ext:2 ext:enter",
               "b<enter>"},
        Script{"Shift held as the layout comes up makes 3 a #", "+lshift input 3 -lshift", "", "",
               "shift"},
        Script{"the right Shift let go while the layout was down",
               "input +rshift input -rshift input 3", "", "d"},
        // A release missed while the layout was down would leave the number pad waiting for it.
        Script{"nothing of a key pressed before the last showing is pending, its Shift neither",
               "input +lshift +2 input -2 -lshift input 3", "@", "d"},
        Script{"the program's end lets the latched modifiers up",
               "input 100ms click:shift B C D destroy", ""}));

}  // namespace
}  // namespace bk
