// The fixture of every unit test: a fresh program state on a fresh fake machine, and at the end
// the checks that hold for every test.
#pragma once

#include <gtest/gtest.h>

#include <set>

#include "fake/fake_os.h"

namespace bk::fake {

// The checks that hold for the machine at the end of every test: SendInput never called while
// the hook was installed, no key held down that the program pressed, no timer running, no thread
// input attached, no registry key open, and no key of the program's looping through its hook.
// `held` and `timers` name the keys and timers that are expected.
void ExpectMachineInvariants(FakeOs& fake, const std::set<std::uint8_t>& held = {},
                             const std::set<TimerId>& timers = {});

// A fresh program state, as before start-up.
void ResetAllProgramState();

class BkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // This test leaves the program holding `vk` down on purpose (a latch under test).
  void ExpectHeldAtEnd(std::uint8_t vk) { expectedHeld_.insert(vk); }
  // This test leaves timer `id` running on purpose.
  void ExpectTimerAtEnd(TimerId id) { expectedTimers_.insert(id); }

  FakeOs fake;

 private:
  std::set<std::uint8_t> expectedHeld_;
  std::set<TimerId> expectedTimers_;
};

}  // namespace bk::fake
