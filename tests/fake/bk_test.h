// The fixture of every unit test: a fresh program state on a fresh fake machine, and at the end
// the checks that hold for every test.
#pragma once

#include <gtest/gtest.h>

#include <set>

#include "fake/fake_os.h"

namespace bk::fake {

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
