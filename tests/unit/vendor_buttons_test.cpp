#include "app/vendor_buttons.h"

#include <gtest/gtest.h>

#include "app/button_dispatch.h"
#include "app/program_state.h"
#include "app/window_switcher.h"
#include "bindings/key_injection.h"
#include "fake/bk_test.h"
#include "fake/entry_driver.h"
#include "osd/osd_window.h"

namespace bk {
namespace {

class VendorTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    driver.Start();
    front = fake.desktop.AddWindow({"front"});
    next = fake.desktop.AddWindow({"next"});
  }
  // The switcher's modifier as the system saw it: one entry per event.
  std::string SwitcherKeys() {
    std::string keys;
    for (const KeyInput& event : fake.keyboard.AllEvents()) {
      if (event.vk != vk::LWin && event.vk != vk::Tab) continue;
      keys += event.vk == vk::LWin ? "W" : "T";
      keys += (event.flags & kKeyEventKeyUp) != 0 ? "^ " : "v ";
    }
    return keys;
  }
  fake::EntryDriver driver{fake};
  WindowId front = 0;
  WindowId next = 0;
};

// What each button does with the layout down.
TEST_F(VendorTest, WithTheLayoutDownTheButtonsDriveWindowsTheLayoutAndTheViewer) {
  driver.Run("C");
  EXPECT_TRUE(fake.desktop.Maximized(front));
  driver.Run("B");
  EXPECT_TRUE(fake.desktop.Minimized(front));
  EXPECT_EQ(fake.desktop.ForegroundWindow(), next);
  driver.Run("D");
  ASSERT_EQ(fake.desktop.PostedMessages().size(), 1u);
  EXPECT_EQ(fake.desktop.PostedMessages()[0].window, next);
  EXPECT_EQ(fake.desktop.PostedMessages()[0].message, msg::Close);

  driver.Run("viewer");
  EXPECT_TRUE(fake.timers.IsRunning(TIMER_VIEWER));
  EXPECT_EQ(fake.timers.PeriodOf(TIMER_VIEWER), 200u);

  driver.Run("A");
  EXPECT_TRUE(switcherActive);
  EXPECT_TRUE(fake.keyboard.IsDown(vk::LWin));

  driver.Run("input");
  EXPECT_TRUE(layoutShown);
  EXPECT_TRUE(fake.hook.Installed());
  driver.Run("5000ms hide");
  EXPECT_TRUE(fake.launcher.launches.empty()) << "no viewer path in the registry";
}

TEST_F(VendorTest, WithTheLayoutShownAToDAreTapsAndTouchNoWindow) {
  driver.Run("input 100ms A B C D");
  EXPECT_EQ(driver.Latched(), "lock,ctrl,start,alt");
  EXPECT_TRUE(fake.desktop.PostedMessages().empty());
  EXPECT_FALSE(fake.desktop.Minimized(front));
  EXPECT_FALSE(fake.desktop.Maximized(front));
  EXPECT_FALSE(switcherActive);
  driver.Run("hide");
  EXPECT_TRUE(fake.keyboard.KeysHeldByProgram().empty());
}

TEST_F(VendorTest, TheViewerButtonWorksWithTheLayoutShown) {
  driver.Run("input 100ms viewer");
  EXPECT_TRUE(fake.timers.IsRunning(TIMER_VIEWER));
  driver.Run("200ms hide");
}

// INPUT's press and release, with the layout down or shown: what shows, and which layout.
struct HoldCase {
  const char* name;
  bool shownBefore;
  const char* steps;
  bool shownAfter;
  bool phonepadAfter;
};

void PrintTo(const HoldCase& c, std::ostream* out) {
  *out << c.name;
}

class InputHoldTest : public VendorTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(InputHoldTest, ShowsHidesAndSwitchesTheLayout) {
  const HoldCase& c = GetParam();
  if (c.shownBefore) driver.Run("input 100ms");
  driver.Run(c.steps);
  EXPECT_EQ(layoutShown, c.shownAfter);
  EXPECT_EQ(fake.hook.Installed(), c.shownAfter);
  EXPECT_EQ(activeLayout == phonepadLayout.data(), c.phonepadAfter);
  driver.Run("input- 100ms");  // a press that is still held lets go
  EXPECT_FALSE(inputHeld);
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_INPUT_HOLD));
  driver.Run("hide");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputHoldTest,
    ::testing::Values(
        HoldCase{"a press shows the layout at once", false, "input+", true, false},
        HoldCase{"and the release keeps it up", false, "input+ 300ms input-", true, false},
        HoldCase{"holding while down shows it and switches nothing", false, "input+ 3000ms input-",
                 true, false},
        HoldCase{"a short press and release hides it", true, "input+ 300ms input-", false, false},
        HoldCase{"the release just within the second hides it", true, "input+ 999ms input-", false,
                 false},
        HoldCase{"a hold of one second switches at once, still held", true, "input+ 1000ms", true,
                 true},
        HoldCase{"and the release keeps the layout up", true, "input+ 1000ms input-", true, true},
        HoldCase{"holding longer switches no further", true, "input+ 5000ms input-", true, true},
        HoldCase{"a second hold switches back", true, "hold hold", true, false},
        HoldCase{"a repeated press report restarts the hold", true, "input+ 600ms input+ 999ms",
                 true, false},
        HoldCase{"and it fires a full second after the repeat", true, "input+ 600ms input+ 1000ms",
                 true, true},
        HoldCase{"a release with nothing pending does nothing, layout down", false, "input-", false,
                 false},
        HoldCase{"a release with nothing pending does nothing, layout shown", true, "input- input-",
                 true, false},
        HoldCase{"a hold on the phone pad switches back to the keyboard", true, "hold input- hold",
                 true, false}));

// The window switcher holds its modifier down; every press but A lets it go first.
struct SwitcherEndCase {
  const char* steps;
  const char* keys;
};

void PrintTo(const SwitcherEndCase& c, std::ostream* out) {
  *out << c.steps;
}

class SwitcherEndTest : public VendorTest, public ::testing::WithParamInterface<SwitcherEndCase> {};

TEST_P(SwitcherEndTest, EndsItFirst) {
  driver.Run(GetParam().steps);
  EXPECT_EQ(SwitcherKeys(), GetParam().keys);
  driver.Run("5000ms hide");
}

INSTANTIATE_TEST_SUITE_P(Presses, SwitcherEndTest,
                         ::testing::Values(SwitcherEndCase{"A A", "Wv Tv T^ Tv T^ "},
                                           SwitcherEndCase{"A input", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A play", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A B", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A C", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A D", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A viewer", "Wv Tv T^ W^ "},
                                           SwitcherEndCase{"A input- 3000ms",
                                                           "Wv Tv T^ "},  // a release is no press
                                           SwitcherEndCase{"A 4000ms", "Wv Tv T^ W^ "}));

TEST_F(VendorTest, INPUTLetsTheSwitchersModifierUpBeforeTheLayoutComesUp) {
  driver.Run("A input");
  ASSERT_FALSE(fake.keyboard.IsDown(vk::LWin));
  // The modifier's release was sent alone, without the hook (which the layout brings).
  const auto& calls = fake.keyboard.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().size(), 1u);
  EXPECT_EQ(calls.back()[0].vk, vk::LWin);
  EXPECT_EQ(fake.keyboard.CallsWhileHooked(), 0);
  EXPECT_TRUE(layoutShown);
  driver.Run("hide");
}

TEST_F(VendorTest, AMediaButtonLetsTheSwitchersModifierUpBeforeAnythingElse) {
  driver.Run("A");
  fake.keyboard.ClearCalls();
  fake.keyboard.Callback([] { DispatchButton(0x0000000C000100B0); });
  ASSERT_FALSE(fake.keyboard.Calls().empty());
  EXPECT_EQ(fake.keyboard.Calls().front(), (std::vector<KeyInput>{MakeKeyEvent(vk::LWin, false)}));
  EXPECT_FALSE(switcherActive);
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_SWITCHER));
}

TEST_F(VendorTest, NumbersThatNameNoButtonDoNothing) {
  driver.Run("A");
  for (std::uint8_t number : {0x03, 0x04, 0x05, 0x0A, 0x7F, 0xFF}) {
    fake.keyboard.Callback([number] { VendorButton(number); });
  }
  EXPECT_TRUE(fake.desktop.PostedMessages().empty());
  EXPECT_FALSE(layoutShown);
  driver.Run("4000ms");
}

}  // namespace
}  // namespace bk
