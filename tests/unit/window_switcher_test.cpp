#include "app/window_switcher.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/timers.h"
#include "bindings/key_injection.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

class SwitcherTest : public fake::BkTest {
 protected:
  // Each SendInput call: its events as "+key" or "-key", the key by its code.
  std::string Calls() const {
    std::string calls;
    for (const auto& call : fake.calls) {
      calls += calls.empty() ? "" : " |";
      for (const KeyInput& e : call) {
        EXPECT_EQ(e, MakeKeyEvent(e.vk & 0xFF, (e.flags & kKeyEventKeyUp) == 0));
        calls += ((e.flags & kKeyEventKeyUp) != 0 ? " -" : " +") + std::to_string(e.vk);
      }
    }
    return calls;
  }
};

// One step holds the modifier for 4000 ms, more steps until 1500 ms after the last; the
// program's end lets it go at once.
TEST_F(SwitcherTest, HoldsTheModifierUntilItsTimeRunsOut) {
  StepWindowSwitcher(true);
  fake.Advance(3999);
  EXPECT_TRUE(fake.down[vk::LWin]);
  fake.Advance(1);
  for (int press = 0; press < 3; ++press) {
    StepWindowSwitcher(true);
    fake.Advance(300);
  }
  fake.Advance(1500 - 300 - 1);
  EXPECT_TRUE(fake.down[vk::LWin]);
  fake.Advance(1);
  EXPECT_EQ(Calls(), " +91 | +9 -9 | -91 | +91 | +9 -9 | +9 -9 | +9 -9 | -91");
  StepWindowSwitcher(true);
  OnInputWindowDestroy();
  EXPECT_FALSE(fake.down[vk::LWin]);
}

struct VersionCase {
  std::uint32_t major, minor;
  bool failVersion;
  std::uint8_t modifier;
};

class SwitcherVersionTest : public SwitcherTest,
                            public ::testing::WithParamInterface<VersionCase> {};

// Win+Tab selects a window only on Vista and 7; everywhere else Alt+Tab does. Ending the
// switcher lets the modifier go at once, and only once.
TEST_P(SwitcherVersionTest, HoldsTheWindowsKeyOnVistaAnd7AndAltElsewhere) {
  fake.osMajor = GetParam().major;
  fake.osMinor = GetParam().minor;
  fake.failVersion = GetParam().failVersion;
  StepWindowSwitcher(true);
  StepWindowSwitcher(false);
  StepWindowSwitcher(false);
  const std::string key = std::to_string(GetParam().modifier);
  EXPECT_EQ(Calls(), " +" + key + " | +9 -9 | -" + key);
  EXPECT_FALSE(fake.Running(TIMER_SWITCHER));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SwitcherVersionTest,
    ::testing::Values(VersionCase{5, 1, false, vk::LMenu}, VersionCase{6, 0, false, vk::LWin},
                      VersionCase{6, 1, false, vk::LWin}, VersionCase{6, 2, false, vk::LMenu},
                      VersionCase{6, 3, false, vk::LMenu}, VersionCase{10, 0, false, vk::LMenu},
                      VersionCase{10, 0, true, vk::LWin}));

}  // namespace
}  // namespace bk
