#include "fake/bk_test.h"

#include "app/program_state.h"
#include "bindings/foreground_tracking.h"
#include "osd/osd_window.h"

namespace bk::fake {

void ExpectMachineInvariants(FakeOs& fake, const std::set<std::uint8_t>& held,
                             const std::set<TimerId>& timers) {
  // The program's last keys reach the hook, as the system would deliver them.
  fake.keyboard.Deliver();
  EXPECT_FALSE(fake.keyboard.RanAway()) << "the program's own keys kept coming back as new taps";
  EXPECT_EQ(fake.keyboard.CallsWhileHooked(), 0)
      << "SendInput was called while the keyboard hook was installed";
  for (std::uint8_t vk : fake.keyboard.KeysHeldByProgram()) {
    EXPECT_TRUE(held.count(vk) != 0) << "the program left key " << int(vk) << " held down";
  }
  for (TimerId id : fake.timers.Running()) {
    EXPECT_TRUE(timers.count(id) != 0) << "timer " << id << " was left running";
  }
  EXPECT_TRUE(fake.desktop.Attached().empty()) << "thread input was left attached";
  EXPECT_TRUE(fake.registry.OpenKeys().empty()) << "a registry key was left open";
  EXPECT_TRUE(fake.processes.OpenHandles().empty()) << "a process handle was left open";
}

void ResetAllProgramState() {
  ResetProgramState();
  ResetOsdState();
  ResetBindingsState();
}

void BkTest::SetUp() {
  ResetAllProgramState();
  fake.Install();
}

void BkTest::TearDown() {
  ExpectMachineInvariants(fake, expectedHeld_, expectedTimers_);
  ResetAllProgramState();
}

}  // namespace bk::fake
