#include "osd/text_entry.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "app/program_state.h"
#include "app/window_switcher.h"
#include "entry_script.h"
#include "osd/osd_window.h"

namespace bk {
namespace {

TEST_P(EntryScriptTest, TypesSelectsAndLatchesAsTheUserExpects) {
  const Script& s = GetParam();
  Run(s.steps);
  EXPECT_EQ(Typed(), s.typed);
  EXPECT_EQ(Selected(), s.selected);
  EXPECT_EQ(Latched(), s.latched);
  for (std::uint8_t vk : fake.HeldByProgram()) {
    EXPECT_EQ(ExpectedHeld().count(vk), 1u) << "held down but not latched: " << int(vk);
  }
  // Hiding the layout ends everything: no selection, no modifier left down.
  Run("hide 5000ms");
  EXPECT_TRUE(fake.HeldByProgram().empty());
  EXPECT_EQ(Typed(), s.typed) << "hiding typed nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Taps, EntryScriptTest,
    ::testing::Values(
        Script{"a tap selects, nothing is typed yet", "input 2 999ms", "", "a"},
        Script{"every tap restarts the full second", "input 2 900ms 2 900ms", "", "b"},
        Script{"the fourth tap selects the digit, the fifth starts again",
               "input 2 2 2 2 1000ms 2 2 2 2 2 1000ms", "2a"},
        Script{"another symbol types the waiting key at once", "input 2 3", "a", "d"},
        Script{"a run of symbols", "input 4 4 3 3 5 5 5 1000ms 5 5 5 6 6 6 1000ms", "hello"},
        Script{"enter types the waiting key, then enter", "input 2 enter", "a<enter>"},
        Script{"escape drops the waiting key", "input 2 esc 1000ms", ""},
        Script{"escape with nothing selected is backspace", "input esc", "<back>"},
        Script{"symbol keys with their own cycles", "input 1 1 1 1000ms 0 1000ms", "= "},
        Script{"the @ and .com keys type their labels", "input * * * 1000ms * * * * 1000ms",
               "@.com"},
        Script{"a latched Shift does not change .com", "input # * * * * 1000ms", ".com"},
        Script{"nor does it with Caps Lock", "input caps click:shift click:.com", ".COM", "",
               "lock"},
        Script{"# latches Shift and the strip shows the shifted key", "input # 2", "", "A",
               "shift"},
        Script{"Shift stays for the commit of a waiting key", "input # 2 3", "A", "d"},
        Script{"# twice unlatches", "input # #", ""},
        Script{"the latched Shift's own key is no # tap", "input click:shift 3 1000ms", "D"},
        Script{"Shift applies to one key, then lets go", "input # 2 1000ms 3", "A", "d"},
        Script{"B latches Ctrl, C the Windows key, for the next key",
               "input B 2 1000ms C 3 3 1000ms", "<ctrl+a><win+e>"},
        Script{"D latches Alt, with Shift", "input D # 2 1000ms", "<alt+shift+a>"},
        Script{"Caps Lock types capitals, not shifted digits", "input A 2 1000ms 1 1000ms", "A1",
               "", "lock"},
        Script{"Caps Lock and Shift type the small letter", "input A click:shift 2 1000ms", "a", "",
               "lock"},
        Script{"A twice lets Caps Lock go", "input A A 2 1000ms", "a"},
        Script{"the caps latch follows the system's Caps Lock", "caps input 2 1000ms", "A", "",
               "lock"},
        Script{"enter with Shift latched is plain enter", "input click:shift enter", "<enter>"},
        Script{"escape after # and 2 types nothing; the timer lets Shift go",
               "input # 2 esc 1000ms", ""},
        Script{"an arrow drops the selection and passes, latches stay", "input click:shift 2 left",
               "<shift+left>", "", "shift"},
        Script{"another key drops the selection, lets the latches go, and passes", "input # 2 k",
               "k"},
        Script{"a numeric-keypad digit passes and resets the entry", "input 2 np5 1000ms", "5"},
        Script{"a layout switch drops the selection and the latches",
               "input # 2 input+ 900ms 2 100ms input- 1000ms", ""},
        Script{"a click types at once and drops the waiting key", "input 2 click:q", "q"},
        Script{"a click with Shift latched types the capital, then lets go", "input # click:q",
               "Q"},
        Script{"every key of the top row",
               "input click:Esc click:F1 click:F2 click:F3 click:F4 click:F5 click:F6 click:F7 "
               "click:F8 click:F9 click:F10 click:F11 click:F12 click:Ins click:Del click:Home "
               "click:End click:PgDn click:PgUp click:menu",
               "<esc><f1><f2><f3><f4><f5><f6><f7><f8><f9><f10><f11><f12><ins><del><home><end>"
               "<pgdn><pgup><menu>"},
        Script{"a click on a modifier latches it when the pointer lets go", "input click:ctrl", "",
               "", "ctrl"},
        Script{"the pointer held down on a modifier latches nothing yet", "input press:ctrl", ""},
        Script{"a clicked right Shift is held as the right Shift", "input click#72 2 1000ms", "A"},
        Script{"a click on lock toggles Caps Lock", "input click:lock 2 1000ms", "A", "", "lock"},
        Script{"the close key hides the layout; the next digit goes to the application",
               "input 2 click:x 2", "2"}));

INSTANTIATE_TEST_SUITE_P(
    Phonepad, EntryScriptTest,
    ::testing::Values(
        Script{"the fourth tap selects the capital, the seventh the header digit",
               "input hold 2 2 2 2 1000ms 2 2 2 2 2 2 2 1000ms", "A2"},
        Script{"A is Shift here", "input hold A 2 1000ms", "A"},
        Script{"Shift turns the capital key small", "input hold A 2 2 2 2 1000ms", "a"},
        Script{"the last capital", "input hold A 9 9 9 9 1000ms", "Z"},
        Script{"* is punctuation", "input hold * * 1000ms", "-"},
        Script{"# then 2: two keys", "input hold # 2 2 1000ms", "?b"},
        Script{"the shifted header 6 types ^", "input hold A 6 6 6 6 6 6 6 1000ms", "^"},
        Script{"the shifted header 8 types 8", "input hold A 8 8 8 8 8 8 8 1000ms", "8"},
        Script{"back, esc and delete, though the last two share a sequence",
               "input hold esc click:esc click:delete", "<back><esc><del>"},
        Script{"caps lock is pointer only", "input hold click:caps_lock 2 1000ms", "A", "",
               "caps lock"}));

class RandomScriptTest : public fake::BkTest {};

// Random scripts of what a user can do, checked after every step for what must always hold: the
// program never sends while its hook is installed, and it holds no key down that is not a latched
// modifier or the window switcher's key. At the end no key is down at all.
TEST_F(RandomScriptTest, RandomScriptsNeverLeaveAKeyDownNorSendWhileHooked) {
  std::vector<std::string> kSteps;  // "2", "#" and clicks come more often than the others
  std::istringstream all(
      "0 1 2 2 3 4 5 6 7 8 9 # # * enter esc A B C D left k np5 f5 caps ext:2 +2 -2 +3 -3 +lshift "
      "-lshift +rshift -rshift 1ms 200ms 999ms 1000ms 1500ms input input+ input- hold hide viewer "
      "play click click click");
  for (std::string step; all >> step;) kSteps.push_back(step);
  std::mt19937 random(20261206);
  for (int script = 0; script < 1500 && !HasFailure(); ++script) {
    std::string steps = "input 100ms ";
    fake = fake::FakeOs();
    fake.Use();
    fake::ResetProgram();
    Start();
    Run(steps);
    for (int i = 0; i < 40 && !HasFailure(); ++i) {
      std::string step = kSteps[random() % kSteps.size()];
      if (step == "click") {
        if (!layoutShown) continue;  // only a shown layout can be clicked
        const int keys = activeLayout == keyboardLayout.data() ? 83 : 91;
        step = "click#" + std::to_string(random() % keys);
      }
      steps += step + " ";
      Run(step);
      EXPECT_EQ(fake.callsWhileHooked, 0);
      EXPECT_EQ(fake.hook != 0, layoutShown);
      for (std::uint8_t vk : fake.HeldByProgram())
        EXPECT_EQ(ExpectedHeld().count(vk), 1u) << int(vk);
    }
    Run("-2 -3 -lshift -rshift hide 5000ms");
    fake::ExpectSound(fake);
    if (HasFailure()) ADD_FAILURE() << "script " << script << ": " << steps;
  }
}

}  // namespace
}  // namespace bk
