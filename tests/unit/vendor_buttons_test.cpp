#include "app/vendor_buttons.h"

#include <gtest/gtest.h>

#include "entry_script.h"

namespace bk {
namespace {

// The vendor buttons with the layout down and shown, and while the switcher holds its key.
INSTANTIATE_TEST_SUITE_P(
    Vendor, EntryScriptTest,
    ::testing::Values(
        Script{"a media button ends the switcher before its chord", "A play", "<win+tab><f5>"},
        Script{"INPUT ends the switcher before the layout comes up", "A input 2 1000ms",
               "<win+tab>a"},
        Script{"B ends the switcher, and its release is no press", "A B", "<win+tab>"},
        Script{"with the layout shown A to D are taps", "input A B C D", "", "",
               "lock,ctrl,start,alt"},
        // INPUT's press and release reports: a short press hides the layout, a second's hold
        // switches it and a second one switches it back (4 4 4 4 is the digit on the keyboard,
        // G on the phone pad), a repeated press report starts the hold again; the release of the
        // press that showed the layout does not hide it.
        Script{"INPUT's release after it showed the layout", "input+ 3000ms input- 2", "", "a"},
        Script{"a short press hides", "input input+ 999ms input- 2", "2"},
        Script{"a second hold switches back", "input hold hold 4 4 4 4", "", "4"},
        Script{"a repeated press report", "input input+ 600ms input+ 999ms input- 2", "2"}));

}  // namespace
}  // namespace bk
