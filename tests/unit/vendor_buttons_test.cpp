#include "app/vendor_buttons.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "entry_script.h"
#include "osd/osd_window.h"

namespace bk {
namespace {

// What the switcher's Windows key does to the buttons pressed while it is held.
INSTANTIATE_TEST_SUITE_P(
    Vendor, EntryScriptTest,
    ::testing::Values(
        Script{"Play sends nothing while the layout is shown", "input play", ""},
        Script{"a media button ends the switcher before its chord", "A play", "<win+tab><f5>"},
        Script{"INPUT ends the switcher before the layout comes up", "A input 2 1000ms",
               "<win+tab>a"},
        Script{"B ends the switcher, and its release is no press", "A B", "<win+tab>"},
        Script{"with the layout shown A to D are taps", "input A B C D", "", "",
               "lock,ctrl,start,alt"}));

using VendorTest = EntryScriptTest;

// With the layout down C maximises, B minimises and D closes; the viewer button starts the
// viewer's delay in either mode (the layout down: the decoding test's row).
TEST_F(VendorTest, CBAndDActOnTheWindowInFrontAndTheViewerButtonOnTheViewer) {
  Run("C B D");
  EXPECT_EQ(fake.log.at(0), "ShowWindow(front, 3)");
  EXPECT_EQ(fake.log.at(1), "ShowWindow(front, 6)");
  EXPECT_EQ(fake.log.back(), "PostMessageA(next, 0x10, 0x0)");
  Run("input viewer");
  EXPECT_TRUE(fake.Running(TIMER_VIEWER));
  Run("hide 200ms");
}

// INPUT's press and release, with the layout down or shown: what shows, and which layout.
struct HoldCase {
  const char* steps;
  bool shown;
  bool phonepad;
};

class InputHoldTest : public fake::BkTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(InputHoldTest, ShowsHidesAndSwitchesTheLayout) {
  Start();
  Run(GetParam().steps);
  EXPECT_EQ(layoutShown, GetParam().shown) << GetParam().steps;
  EXPECT_EQ(activeLayout == phonepadLayout.data(), GetParam().phonepad) << GetParam().steps;
  Run("input- hide 100ms");  // a press that is still held lets go
}

INSTANTIATE_TEST_SUITE_P(Cases, InputHoldTest,
                         ::testing::Values(HoldCase{"input+ 3000ms input-", true, false},
                                           HoldCase{"input input+ 999ms input-", false, false},
                                           HoldCase{"input input+ 1000ms", true, true},
                                           HoldCase{"input hold hold", true, false},
                                           HoldCase{"input input+ 600ms input+ 999ms", true,
                                                    false}));

}  // namespace
}  // namespace bk
