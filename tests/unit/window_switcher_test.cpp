#include "app/window_switcher.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "app/startup.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

using SwitcherTest = fake::BkTest;

// One step holds the modifier for 4000 ms, more steps until 1500 ms after the last; the
// program's end lets it go at once.
TEST_F(SwitcherTest, HoldsTheModifierUntilItsTimeRunsOut) {
  StepWindowSwitcher(true);
  fake.Advance(3999);
  EXPECT_TRUE(fake.down[vk::LWin]);
  fake.Advance(1);
  EXPECT_FALSE(fake.down[vk::LWin]);
  for (int press = 0; press < 3; ++press) {
    StepWindowSwitcher(true);
    fake.Advance(300);
  }
  fake.Advance(1500 - 300 - 1);
  EXPECT_TRUE(fake.down[vk::LWin]);
  fake.Advance(1);
  StepWindowSwitcher(false);  // already ended: nothing more goes out
  EXPECT_EQ(fake.calls.size(), 8u) << "Windows down, Tab, up; down, Tab three times, up";
  EXPECT_EQ(Typed(), "<win+tab><win+tab><win+tab><win+tab>");
  StepWindowSwitcher(true);
  OnInputWindowDestroy();
}

// Win+Tab selects a window only on Vista and 7; everywhere else Alt+Tab does. 0.0: the version
// cannot be read.
TEST_F(SwitcherTest, HoldsTheWindowsKeyOnVistaAnd7AndAltElsewhere) {
  const std::map<std::pair<int, int>, int> kModifiers = {
      {{6, 1}, vk::LWin}, {{6, 2}, vk::LMenu}, {{10, 0}, vk::LMenu}, {{0, 0}, vk::LWin}};
  for (const auto& [version, modifier] : kModifiers) {
    std::tie(fake.osMajor, fake.osMinor) = version;
    fake.failVersion = version.first == 0;
    EXPECT_EQ(SwitcherModifier(), modifier) << version.first << "." << version.second;
  }
}

}  // namespace
}  // namespace bk
