#include "app/window_switcher.h"

#include "bindings/key_injection.h"
#include "platform/os.h"

namespace bk {

bool switcherActive = false;

bool IsOsMajorVersion5() {
  std::uint32_t major = 0;
  if (!os().kernel->OsMajorVersion(&major)) return false;
  return major == 5;
}

std::uint8_t SwitcherModifier() {
  return IsOsMajorVersion5() ? vk::LMenu : vk::LWin;
}

void StepWindowSwitcher(bool step) {
  if (!step && !switcherActive) return;
  Keyboard& keyboard = *os().keyboard;
  const std::uint8_t modifier = SwitcherModifier();
  if (!step) {
    const KeyInput up = MakeKeyEvent(modifier, false);
    keyboard.SendKeys({&up, 1});
    os().timers->Stop(TIMER_SWITCHER);
    switcherActive = false;
    return;
  }
  if (!switcherActive) {
    const KeyInput down = MakeKeyEvent(modifier, true);
    keyboard.SendKeys({&down, 1});
  }
  const KeyInput tab[] = {MakeKeyEvent(vk::Tab, true), MakeKeyEvent(vk::Tab, false)};
  keyboard.SendKeys(tab);
  os().timers->Start(TIMER_SWITCHER, switcherActive ? kSwitcherLaterHoldMs : kSwitcherFirstHoldMs);
  switcherActive = true;
}

}  // namespace bk
