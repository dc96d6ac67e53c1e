// Random scripts of what a user can do to the text entry, checked after every step for
// what must always hold: the program never sends while its hook is installed, and it holds no key
// down that is not a latched modifier (or the window switcher's key). After every step that
// resets the entry, and at the end, no modifier is down at all.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>

#include "app/program_state.h"
#include "app/startup.h"
#include "app/window_switcher.h"
#include "fake/bk_test.h"
#include "fake/entry_driver.h"
#include "osd/osd_window.h"

namespace bk {
namespace {

struct Choice {
  const char* step;
  int weight;
  bool resets;  // the step resets the entry, whatever the state
};

constexpr Choice kChoices[] = {
    {"0", 3, false},       {"1", 3, false},       {"2", 6, false},       {"3", 3, false},
    {"4", 2, false},       {"5", 2, false},       {"6", 2, false},       {"7", 2, false},
    {"8", 2, false},       {"9", 2, false},       {"#", 4, false},       {"*", 3, false},
    {"enter", 2, false},   {"esc", 3, false},     {"A", 3, false},       {"B", 2, false},
    {"C", 2, false},       {"D", 2, false},       {"left", 1, false},    {"k", 1, true},
    {"np5", 1, true},      {"f5", 1, true},       {"caps", 1, true},     {"ext:2", 1, false},
    {"+2", 2, false},      {"-2", 2, false},      {"+3", 1, false},      {"-3", 1, false},
    {"+lshift", 2, false}, {"-lshift", 3, false}, {"+rshift", 1, false}, {"-rshift", 3, false},
    {"1ms", 2, false},     {"200ms", 2, false},   {"999ms", 2, false},   {"1000ms", 3, false},
    {"1500ms", 1, false},  {"input", 2, false},   {"input+", 1, false},  {"input-", 1, false},
    {"hold", 1, true},     {"hide", 1, true},     {"viewer", 1, false},  {"play", 1, false},
    {"click", 6, false},
};

// Keys a script may leave held by the user; they are let go before the end.
constexpr const char* kUserKeys[] = {"-2", "-3", "-lshift", "-rshift"};

class EntryPropertyTest : public fake::BkTest {
 protected:
  // Runs one random script on a fresh machine; returns the script, and leaves any failure
  // recorded in the test.
  std::string RunScript(std::mt19937& random, int steps);

  std::discrete_distribution<int> pick_ = [] {
    std::vector<int> weights;
    for (const Choice& c : kChoices) weights.push_back(c.weight);
    return std::discrete_distribution<int>(weights.begin(), weights.end());
  }();
};

// What must hold after every step.
void ExpectSound(fake::FakeOs& machine, const fake::EntryDriver& driver, bool reset) {
  EXPECT_EQ(machine.keyboard.CallsWhileHooked(), 0) << "SendInput while the hook was installed";
  EXPECT_EQ(machine.hook.Installed(), layoutShown);
  EXPECT_EQ(machine.desktop.IsVisible(inputWindow), layoutShown);
  const std::set<std::uint8_t> expected = driver.ExpectedHeld();
  for (std::uint8_t vk : machine.keyboard.KeysHeldByProgram()) {
    EXPECT_EQ(expected.count(vk), 1u) << "key " << int(vk) << " is down but not latched";
    if (reset && !(switcherActive && vk == SwitcherModifier())) {
      ADD_FAILURE() << "key " << int(vk) << " is still down after the entry was reset";
    }
  }
}

std::string EntryPropertyTest::RunScript(std::mt19937& random, int steps) {
  fake::ResetAllProgramState();
  const auto machine = std::make_unique<fake::FakeOs>();
  machine->Install();
  machine->desktop.AddWindow({"editor"});
  fake::EntryDriver driver(*machine);
  driver.Start();
  driver.Run("input 100ms");

  std::ostringstream script;
  for (int i = 0; i < steps && !HasFailure(); ++i) {
    const Choice& choice = kChoices[pick_(random)];
    std::string step = choice.step;
    if (step == "click") {
      // Only a shown layout can be clicked.
      if (!layoutShown) continue;
      const int count = activeLayout == keyboardLayout.data() ? 83 : 91;
      step = "click#" + std::to_string(std::uniform_int_distribution<int>(0, count - 1)(random));
    }
    script << step << ' ';
    driver.Step(step);
    ExpectSound(*machine, driver, choice.resets);
  }
  for (const char* up : kUserKeys) driver.Step(up);
  // The end: the layout goes down, or the window is destroyed, and every timer runs out.
  if (std::uniform_int_distribution<int>(0, 1)(random) == 0) {
    script << "| hide 5000ms";
    driver.Run("hide 5000ms");
  } else {
    script << "| destroy";
    driver.Step("destroy");
    for (TimerId id : machine->timers.Running()) machine->timers.Stop(id);  // they die with it
  }
  EXPECT_TRUE(machine->keyboard.KeysHeldByProgram().empty()) << "a key is left down at the end";
  fake::ExpectMachineInvariants(*machine);
  return script.str();
}

TEST_F(EntryPropertyTest, RandomScriptsNeverLeaveAModifierDownNorSendWhileHooked) {
  std::mt19937 random(20261206);
  constexpr int kScripts = 3000;
  for (int n = 0; n < kScripts; ++n) {
    const std::string script = RunScript(random, 50);
    if (HasFailure()) {
      ADD_FAILURE() << "script " << n << ": " << script;
      break;
    }
  }
  fake::ResetAllProgramState();
  fake.Install();
}

}  // namespace
}  // namespace bk
