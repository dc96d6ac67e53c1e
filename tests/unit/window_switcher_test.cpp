#include "app/window_switcher.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "entry_script.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

// The switcher holds the Windows key for 4000 ms after one step of A, and 1500 ms after each
// later one: a key that the user taps meanwhile arrives with it. The program's end lets it go.
INSTANTIATE_TEST_SUITE_P(
    Switcher, EntryScriptTest,
    ::testing::Values(Script{"one step", "A 3999ms 2 1ms 2", "<win+tab><win+2>2"},
                      Script{"later steps", "A 4000ms A 300ms A 1499ms 2 1ms 2",
                             "<win+tab><win+tab><win+tab><win+2>2"},
                      Script{"the program's end", "A destroy 2", "<win+tab>2"}));

using SwitcherTest = fake::BkTest;

// Win+Tab selects a window only on Windows 7; everywhere else Alt+Tab does. 0.0: the version
// cannot be read. Ending the switcher lets go of the key that went down, even when the version
// answers otherwise by then.
TEST_F(SwitcherTest, HoldsTheWindowsKeyOn7AndAltElsewhere) {
  const std::map<std::pair<int, int>, int> kModifiers = {
      {{6, 1}, vk::LWin}, {{6, 2}, vk::LMenu}, {{10, 0}, vk::LMenu}, {{0, 0}, vk::LWin}};
  for (const auto& [version, modifier] : kModifiers) {
    std::tie(fake.osMajor, fake.osMinor) = version;
    StepWindowSwitcher(true);
    EXPECT_TRUE(fake.down[modifier]) << version.first << "." << version.second;
    std::tie(fake.osMajor, fake.osMinor) =
        modifier == vk::LWin ? std::pair(10, 0) : std::pair(6, 1);
    StepWindowSwitcher(false);  // at once: the teardown finds no timer left running
  }
}

}  // namespace
}  // namespace bk
