#include "osd/text_entry.h"

#include <gtest/gtest.h>

#include "app/window_switcher.h"
#include "entry_script.h"
#include "osd/osd_window.h"
#include "state/program_state.h"

namespace bk {
namespace {

TEST_P(EntryScriptTest, TypesSelectsAndLatchesAsTheUserExpects) {
  const Script& s = GetParam();
  Run(s.steps);
  EXPECT_EQ(Typed(), s.typed);
  EXPECT_EQ(Selected(), s.selected);
  EXPECT_EQ(Latched(), s.latched);
  // Hiding the layout ends everything: no selection, no modifier left down (the teardown checks).
  Run("hide 5000ms");
  EXPECT_EQ(Typed(), s.typed) << "hiding typed nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Taps, EntryScriptTest,
    ::testing::Values(
        Script{"the fifth tap starts the cycle again; a tap waits a full second from the last",
               "input 2 2 2 2 2 900ms 2 999ms", "", "b"},
        Script{"another symbol or enter types the waiting key at once", "input 2 3 enter",
               "ad<enter>"},
        Script{"escape drops the waiting key, then is backspace", "input 2 esc esc 1000ms",
               "<back>"},
        Script{"a label key types its label, untouched by Shift",
               "input caps click:shift click:.com", ".COM", "", "lock"},
        Script{"# latches Shift and the strip shows the shifted key", "input # 2", "", "A",
               "shift"},
        Script{"Shift stays for the commit of a waiting key, then lets go", "input # 2 3", "A",
               "d"},
        Script{"# twice unlatches", "input # # * 1000ms", "."},
        Script{"B, C and D latch Ctrl, the Windows key and Alt", "input B C D # 2 1000ms",
               "<ctrl+alt+win+shift+a>"},
        Script{"Caps Lock types capitals, not shifted digits, and with Shift the small letter",
               "input A 2 0 1 1000ms click:shift 2 1000ms", "A 1a", "", "lock"},
        Script{"the caps latch follows the system's Caps Lock", "caps input 2 1000ms", "A", "",
               "lock"},
        Script{"the timer lets Shift go with nothing selected", "input # 2 esc 1000ms", ""},
        Script{"an arrow drops the selection and passes, latches stay", "input click:shift 2 left",
               "<shift+left>", "", "shift"},
        Script{"another key drops the selection and the latches, and passes", "input # 2 k", "k"},
        Script{"a layout switch drops the selection and the latches",
               "input # 2 input+ 900ms 2 100ms input- 1000ms", ""},
        Script{"a click drops the waiting key and types at once, Shift applied",
               "input # 2 click:q", "Q"},
        Script{"a click on a modifier latches it when the pointer lets go", "input click:ctrl", "",
               "", "ctrl"},
        Script{"a clicked right Shift is held as the right Shift", "input click#72 2 1000ms", "A"},
        Script{"a click on lock toggles Caps Lock", "input click:lock 2 1000ms", "A", "", "lock"},
        Script{"the close key hides the layout; the next digit goes to the application",
               "input 2 click:x 2", "2"},
        Script{"the phone pad's capitals; A is Shift and makes them small",
               "input hold 2 2 2 2 1000ms A 2 1000ms A 2 2 2 2 1000ms", "AAa"}));

}  // namespace
}  // namespace bk
