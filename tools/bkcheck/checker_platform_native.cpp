// Outside Windows there is no VkKeyScanA: the checker reads key values from a US English layout.
// It only looks keys up, and never sends or reads the keyboard's state.
#include <cstdio>

#include "checker_platform.h"
#include "platform/us_layout.h"

namespace bk::check {

namespace {

class UsLayoutKeyboard final : public Keyboard {
 public:
  unsigned SendKeys(std::span<const KeyInput>) override { return 0; }
  std::uint16_t ScanCode(std::uint8_t) override { return 0; }
  KeyValue KeyForChar(char ch) override { return UsLayoutKeyForChar(ch); }
  bool AsyncKeyDown(std::uint8_t) override { return false; }
  bool KeyToggled(std::uint8_t) override { return false; }
};

}  // namespace

void SetUpProcess() {}

Keyboard& CheckerKeyboard() {
  static UsLayoutKeyboard keyboard;
  return keyboard;
}

std::string DefaultBindingFolder() {
  return "";
}

void HoldConsoleWindow() {}

void PutBackConsoleCodePage() {}

int Listen() {
  std::puts("bkcheck: --listen needs Windows, where the remote's reports arrive.");
  return 2;
}

}  // namespace bk::check
