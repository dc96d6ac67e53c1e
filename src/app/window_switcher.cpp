#include "app/window_switcher.h"

#include "bindings/key_injection.h"
#include "platform/os.h"

namespace bk {

SwitcherState switcherState;

bool SwitcherUsesWindowsKey() {
  std::uint32_t major = 0, minor = 0;
  if (!os().kernel->OsVersion(&major, &minor)) return true;
  return major == 6 && minor == 1;
}

std::uint8_t SwitcherModifier() {
  return SwitcherUsesWindowsKey() ? vk::LWin : vk::LMenu;
}

void StepWindowSwitcher(bool step) {
  if (!step && !switcherActive) return;
  Keyboard& keyboard = *os().keyboard;
  if (!step) {
    const KeyInput up[] = {MakeKeyEvent(switcherState.heldModifier, false)};
    keyboard.SendKeys(up);
    os().timers->Stop(TIMER_SWITCHER);
    switcherActive = false;
    return;
  }
  if (!switcherActive) {
    switcherState.heldModifier = SwitcherModifier();
    const KeyInput down[] = {MakeKeyEvent(switcherState.heldModifier, true)};
    keyboard.SendKeys(down);
  }
  const KeyInput tab[] = {MakeKeyEvent(vk::Tab, true), MakeKeyEvent(vk::Tab, false)};
  keyboard.SendKeys(tab);
  os().timers->Start(TIMER_SWITCHER, switcherActive ? kSwitcherLaterHoldMs : kSwitcherFirstHoldMs);
  switcherActive = true;
}

}  // namespace bk
