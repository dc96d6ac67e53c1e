#include "fake/bk_test.h"

#include "app/program_state.h"
#include "bindings/foreground_tracking.h"
#include "osd/osd_window.h"

namespace bk::fake {

void BkTest::SetUp() {
  ResetProgramState();
  ResetOsdState();
  ResetBindingsState();
  fake.Install();
}

void BkTest::TearDown() {
  EXPECT_EQ(fake.keyboard.CallsWhileHooked(), 0)
      << "SendInput was called while the keyboard hook was installed";
  for (std::uint8_t vk : fake.keyboard.KeysHeldByProgram()) {
    EXPECT_TRUE(expectedHeld_.count(vk) != 0) << "the program left key " << int(vk) << " held down";
  }
  for (TimerId id : fake.timers.Running()) {
    EXPECT_TRUE(expectedTimers_.count(id) != 0) << "timer " << id << " was left running";
  }
  EXPECT_TRUE(fake.desktop.Attached().empty()) << "thread input was left attached";
  EXPECT_TRUE(fake.registry.OpenKeys().empty()) << "a registry key was left open";
  ResetProgramState();
  ResetOsdState();
  EXPECT_TRUE(fake.processes.OpenHandles().empty()) << "a process handle was left open";
  ResetBindingsState();
}

}  // namespace bk::fake
