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
  void SetUp() override {
    BkTest::SetUp();
    fake.timers.onFire = [](TimerId id) { OnInputWindowTimer(id); };
  }
  // What the system saw, as (key, down) pairs.
  std::vector<std::pair<std::uint16_t, bool>> Keys() const {
    std::vector<std::pair<std::uint16_t, bool>> keys;
    for (const KeyInput& event : fake.keyboard.AllEvents()) {
      keys.emplace_back(event.vk, (event.flags & kKeyEventKeyUp) == 0);
    }
    return keys;
  }
};

TEST_F(SwitcherTest, ThreeStepsHoldTheModifierUntil1500MsAfterTheLast) {
  for (int press = 0; press < 3; ++press) {
    StepWindowSwitcher(true);
    fake.timers.Advance(300);
  }
  fake.timers.Advance(1500 - 300 - 1);
  EXPECT_TRUE(fake.keyboard.IsDown(vk::LWin));
  fake.timers.Advance(1);

  EXPECT_FALSE(fake.keyboard.IsDown(vk::LWin));
  const std::vector<std::pair<std::uint16_t, bool>> expected = {
      {vk::LWin, true}, {vk::Tab, true}, {vk::Tab, false}, {vk::Tab, true},
      {vk::Tab, false}, {vk::Tab, true}, {vk::Tab, false}, {vk::LWin, false}};
  EXPECT_EQ(Keys(), expected);
  // The modifier alone, each Tab tap as one call, the release alone.
  std::vector<std::size_t> callSizes;
  for (const auto& call : fake.keyboard.Calls()) callSizes.push_back(call.size());
  EXPECT_EQ(callSizes, (std::vector<std::size_t>{1, 2, 2, 2, 1}));
  for (const KeyInput& event : fake.keyboard.AllEvents()) {
    EXPECT_EQ(event, MakeKeyEvent(static_cast<std::uint8_t>(event.vk),
                                  (event.flags & kKeyEventKeyUp) == 0));
  }
  EXPECT_FALSE(switcherActive);
}

TEST_F(SwitcherTest, OneStepReleasesAfter4000Ms) {
  StepWindowSwitcher(true);
  fake.timers.Advance(3999);
  EXPECT_TRUE(fake.keyboard.IsDown(vk::LWin));
  fake.timers.Advance(1);
  EXPECT_FALSE(fake.keyboard.IsDown(vk::LWin));
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_SWITCHER));
}

TEST_F(SwitcherTest, EndingItReleasesTheModifierAtOnceAndOnlyOnce) {
  StepWindowSwitcher(true);
  StepWindowSwitcher(false);
  EXPECT_FALSE(fake.keyboard.IsDown(vk::LWin));
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_SWITCHER));
  const std::size_t calls = fake.keyboard.Calls().size();
  StepWindowSwitcher(false);
  EXPECT_EQ(fake.keyboard.Calls().size(), calls);
}

TEST_F(SwitcherTest, TheProgramsEndReleasesTheModifier) {
  StepWindowSwitcher(true);
  OnInputWindowDestroy();
  EXPECT_FALSE(fake.keyboard.IsDown(vk::LWin));
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_SWITCHER));
}

struct VersionCase {
  std::uint32_t major, minor;
  bool failVersion;
  std::uint8_t modifier;
};

class SwitcherVersionTest : public SwitcherTest,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(SwitcherVersionTest, HoldsTheWindowsKeyOnlyOnVistaAnd7) {
  fake.kernel.osMajor = GetParam().major;
  fake.kernel.osMinor = GetParam().minor;
  fake.kernel.failVersion = GetParam().failVersion;
  StepWindowSwitcher(true);
  EXPECT_TRUE(fake.keyboard.IsDown(GetParam().modifier));
  StepWindowSwitcher(false);  // the fixture's checks find any key left held
}

INSTANTIATE_TEST_SUITE_P(
    Versions, SwitcherVersionTest,
    ::testing::Values(VersionCase{5, 1, false, vk::LMenu}, VersionCase{6, 0, false, vk::LWin},
                      VersionCase{6, 1, false, vk::LWin}, VersionCase{6, 2, false, vk::LMenu},
                      VersionCase{6, 3, false, vk::LMenu}, VersionCase{10, 0, false, vk::LMenu},
                      VersionCase{10, 0, true, vk::LWin}));

TEST_F(SwitcherTest, TimersThatAreNotTheProgramsDoNothing) {
  StepWindowSwitcher(true);
  for (TimerId id : {5u, 6u, 100u}) OnInputWindowTimer(id);
  EXPECT_TRUE(switcherActive);
  StepWindowSwitcher(false);
}

}  // namespace
}  // namespace bk
