// The low-level keyboard hook of the shown layout: the remote's number pad, Enter and Escape are
// kept from the foreground application and become tap symbols; arrows end the selection; every
// other key resets the entry and passes.
#pragma once

#include <cstdint>

#include "platform/os.h"

namespace bk {

// The hook's state, its starting values in one place for the start and for a reset.
struct KeyboardHookState {
  bool leftShiftDown = false;    // the left Shift key is down, as last seen by the hook
  bool rightShiftDown = false;   // the right Shift key is down, as last seen by the hook
  std::uint32_t pendingKey = 0;  // the key whose release is awaited; 0: none
  bool pendingShift = false;     // leftShiftDown as it was when pendingKey went down
};
extern KeyboardHookState keyboardHookState;
inline bool& leftShiftDown = keyboardHookState.leftShiftDown;
inline bool& rightShiftDown = keyboardHookState.rightShiftDown;
inline std::uint32_t& pendingKey = keyboardHookState.pendingKey;
inline bool& pendingShift = keyboardHookState.pendingShift;

// Hook codes and the messages a low-level keyboard hook is called with.
inline constexpr int kHcAction = 0;
inline constexpr std::uintptr_t kWmKeyDown = 0x0100;
inline constexpr std::uintptr_t kWmKeyUp = 0x0101;
inline constexpr std::uintptr_t kWmSysKeyDown = 0x0104;
inline constexpr std::uintptr_t kWmSysKeyUp = 0x0105;

// The hook procedure. `message` is the hook's wParam, `event` what its KBDLLHOOKSTRUCT says, and
// `raw` the lParam itself, handed on to CallNextHookEx. Returns 1 to swallow the event.
std::intptr_t KeyboardHookProc(int code, std::uintptr_t message, const HookEvent& event,
                               std::intptr_t raw);

// The state of a fresh installation: no key pending, and both Shift keys as the system has them
// now. A release that happened while the hook was out would otherwise never come.
void StartHookState();

// Puts the hook's state back as it is before start-up (for tests).
void ResetKeyboardHookState();

}  // namespace bk
