#include "osd/keyboard_hook.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "entry_script.h"
#include "fake/typed_text.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"

namespace bk {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Hook, EntryScriptTest,
    ::testing::Values(
        Script{"auto-repeat is swallowed; the symbol comes on the release", "+2 +2 +2 +2", "", ""},
        Script{"one symbol for a held key", "+2 +2 +2 -2", "", "a"},
        Script{"the Shift state of the press counts", "+lshift +3 -lshift -3", "", "", "shift"},
        Script{"Shift pressed after the 3 does not", "+3 +lshift -3 -lshift", "", "d"},
        Script{"left Shift with 8 is *", "+lshift 8 -lshift", "", "."},
        Script{"right Shift with 3 reaches the application and resets the entry",
               "2 +rshift 3 -rshift 1000ms", "#"},
        Script{"a key pressed under the right Shift passes, also when its release comes later",
               "+2 +rshift -2 +3 -rshift -3 1000ms", "#"},
        Script{"a key pressed before the right Shift keeps its symbol", "+3 +rshift -3 -rshift", "",
               "d"},
        Script{"left Shift with 2 passes", "2 +lshift 2 -lshift 1000ms", "@"},
        Script{"left Shift with Enter passes", "+lshift enter -lshift", "<shift+enter>"},
        Script{"left Shift with Escape passes", "2 +lshift esc -lshift 1000ms", "<shift+esc>"},
        Script{"a numeric-keypad digit passes", "np0 np9", "09"},
        Script{"only the pending key makes a symbol", "+2 +5 -5 -2", "", "a"},
        Script{"a digit pressed while Alt is pending is swallowed and makes nothing",
               "+lalt 2 -lalt", "", ""},
        Script{"arrows pass and end the selection", "2 left right up down 1000ms",
               "<left><right><up><down>"},
        Script{"a function key passes and resets the entry", "# 2 f5 1000ms", "<f5>"},
        Script{"keys that another program injects are taps too", "ext:2 ext:2 1000ms", "b"},
        Script{"another program's Enter", "ext:enter", "<enter>"}));

// The program's own keys come back through the hook once the callback that sent them returns.
// They pass untouched; as the program would be without its marker, they act as new keys.
struct OwnKeysCase {
  const char* name;
  const char* steps;
  const char* typed;
  const char* selected;
  const char* typedUnmarked;
  const char* selectedUnmarked;
};

void PrintTo(const OwnKeysCase& c, std::ostream* out) {
  *out << c.name;
}

class OwnKeysTest : public fake::BkTest, public ::testing::WithParamInterface<OwnKeysCase> {
 protected:
  void Run(bool marked) {
    fake.keyboard.dropOwnMarker = !marked;
    driver.Start();
    driver.Run("input 100ms");
    driver.Run(GetParam().steps);
  }
  fake::EntryDriver driver{fake};
};

TEST_P(OwnKeysTest, PassTheHookAtOnce) {
  Run(true);
  EXPECT_EQ(driver.Typed(), GetParam().typed);
  EXPECT_EQ(driver.Selected(), GetParam().selected);
  driver.Run("hide 1000ms");
}

TEST_P(OwnKeysTest, WithoutTheMarkerBecomeNewKeys) {
  Run(false);
  EXPECT_EQ(driver.Typed(), GetParam().typedUnmarked);
  EXPECT_EQ(driver.Selected(), GetParam().selectedUnmarked);
  driver.Run("hide 1000ms");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OwnKeysTest,
    ::testing::Values(
        OwnKeysCase{"the typed a would reset the entry and drop the new selection", "2 3", "a", "d",
                    "a", ""},
        OwnKeysCase{"a committed digit would become a tap", "2 2 2 2 1000ms", "2", "", "", "a"},
        OwnKeysCase{"the latched Shift would turn 3 into #", "click:shift 3 1000ms", "D", "", "",
                    ""},
        OwnKeysCase{"typed capitals would latch nothing", "# 2 1000ms 3", "A", "d", "A", "d"}));

class HookTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    driver.Start();
    driver.Run("input 100ms");
  }
  int EnterPresses() {
    int presses = 0;
    for (const KeyInput& event : fake.keyboard.Received()) {
      presses += event.vk == vk::Return && (event.flags & kKeyEventKeyUp) == 0;
    }
    return presses;
  }
  fake::EntryDriver driver{fake};
};

TEST_F(HookTest, EnterOnTheLayoutArrivesExactlyOnce) {
  driver.Run("enter");
  EXPECT_EQ(EnterPresses(), 1);
  EXPECT_FALSE(fake.keyboard.RanAway());
}

TEST_F(HookTest, WithoutTheMarkerEnterOnTheLayoutLoopsForEver) {
  fake.keyboard.dropOwnMarker = true;
  driver.Run("enter");
  EXPECT_TRUE(fake.keyboard.RanAway()) << "each typed Enter came back as a new Enter tap";
  EXPECT_EQ(EnterPresses(), 0) << "the application never saw one";
  fake.keyboard.ForgetRunaway();
  fake.keyboard.dropOwnMarker = false;
  driver.Run("hide");
}

TEST_F(HookTest, TheEventPassesOnUnderTheHandleOfTheNewInstallation) {
  const HookHandle before = fake.hook.Handle();
  driver.Run("enter");
  EXPECT_NE(fake.hook.Handle(), before) << "typing re-installed the hook";
  EXPECT_EQ(fake.hook.callNextHandles.back(), fake.hook.Handle());
}

TEST_F(HookTest, CodesOtherThanHcActionOnlyGoDownTheChain) {
  fake.hook.callNextHandles.clear();
  const HookEvent digit{'2', 0, 0};
  for (int code : {-1, 1, 3}) {
    EXPECT_EQ(KeyboardHookProc(code, kWmKeyDown, digit, 0), 0);
    EXPECT_EQ(KeyboardHookProc(code, kWmKeyUp, digit, 0), 0);
  }
  EXPECT_EQ(pendingKey, 0u);
  EXPECT_TRUE(currentSequence.empty());
  EXPECT_EQ(fake.hook.callNextHandles.size(), 6u);
}

TEST_F(HookTest, SwallowsOnlyTheTapKeysAndSaysSoWithOne) {
  EXPECT_EQ(KeyboardHookProc(kHcAction, kWmKeyDown, {'7', 0, 0}, 0), 1);
  EXPECT_EQ(KeyboardHookProc(kHcAction, kWmKeyUp, {'7', 0, 0}, 0), 1);
  EXPECT_EQ(KeyboardHookProc(kHcAction, kWmSysKeyDown, {'K', 0, 0}, 0), 0);
  EXPECT_EQ(KeyboardHookProc(kHcAction, kWmSysKeyUp, {'K', 0, 0}, 0), 0);
  EXPECT_EQ(KeyboardHookProc(kHcAction, kWmKeyDown, {'7', 0, kOwnInputMarker}, 0), 0);
  EXPECT_EQ(pendingKey, 0u) << "the program's own key is no press";
  driver.Run("1000ms");
  EXPECT_EQ(driver.Typed(), "") << "K reset the entry: the p selected by 7 was dropped";
}

// A release missed while the hook was out must not leave the number pad dead.
TEST_F(HookTest, AKeyReleasedWhileTheLayoutWasDownIsPendingNoMore) {
  driver.Run("+2 input -2 input 5");
  EXPECT_EQ(driver.Selected(), "j");
  EXPECT_EQ(driver.Typed(), "") << "the 2 went down on the layout: its release alone passed";
  driver.Run("1000ms");
  EXPECT_EQ(driver.Typed(), "j");
}

TEST_F(HookTest, TheLeftShiftIsReadAfreshWhenTheLayoutIsShown) {
  driver.Run("+lshift input -lshift input 3");
  EXPECT_EQ(driver.Selected(), "d") << "Shift was let go while the layout was down";
  driver.Run("input +lshift input 3 -lshift");
  EXPECT_EQ(driver.Latched(), "shift") << "Shift held as the layout came up: 3 is #";
  driver.Run("+rshift input -rshift input 3");
  EXPECT_EQ(driver.Selected(), "d") << "the right Shift was let go while the layout was down";
  driver.Run("hide 1000ms");
}

TEST_F(HookTest, TheProgramsEndLetsTheLatchedModifiersUp) {
  driver.Run("click:shift B C D");
  EXPECT_EQ(driver.Latched(), "shift,ctrl,start,alt");
  for (std::uint8_t vk : {vk::LShift, vk::LControl, vk::LWin, vk::LMenu}) {
    EXPECT_TRUE(fake.keyboard.IsDown(vk));
  }
  driver.Run("destroy");
  EXPECT_TRUE(fake.keyboard.KeysHeldByProgram().empty());
  EXPECT_FALSE(fake.hook.Installed());
  EXPECT_FALSE(layoutShown);
}

}  // namespace
}  // namespace bk
