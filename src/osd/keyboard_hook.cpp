#include "osd/keyboard_hook.h"

#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {

KeyboardHookState keyboardHookState;

namespace {

enum class Verdict { Swallow, ClearAndPass, ResetAndPass };

struct Decision {
  Verdict verdict = Verdict::ResetAndPass;
  char symbol = 0;  // the tap that the release of a swallowed key makes
};

// What a key means to the layout, by its code and the Shift keys. Under the right Shift every key
// is the user's own typing: Shift with 3 is "#" for the application then.
Decision Decide(std::uint32_t vkCode, bool shift, bool rightShift) {
  if (rightShift) return {};
  if (shift) {
    if (vkCode == '3') return {Verdict::Swallow, '#'};
    if (vkCode == '8') return {Verdict::Swallow, '*'};
    return {};
  }
  if (vkCode == vk::Return) return {Verdict::Swallow, 'E'};
  if (vkCode == vk::Escape) return {Verdict::Swallow, 'X'};
  if (vkCode >= '0' && vkCode <= '9') return {Verdict::Swallow, static_cast<char>(vkCode)};
  if (vkCode >= vk::Left && vkCode <= vk::Down) return {Verdict::ClearAndPass, 0};
  return {};
}

// Acts on a decision; true when the event is to be swallowed.
bool Act(const Decision& decision, bool release) {
  switch (decision.verdict) {
    case Verdict::Swallow:
      if (release) PressSymbol(decision.symbol);
      return true;
    case Verdict::ClearAndPass:
      ClearSelection();
      return false;
    case Verdict::ResetAndPass:
      ResetEntry();
      return false;
  }
  return false;
}

}  // namespace

std::intptr_t KeyboardHookProc(int code, std::uintptr_t message, const HookEvent& event,
                               std::intptr_t raw) {
  Hook& hook = *os().hook;
  if (code != kHcAction) return hook.CallNext(keyboardHook, code, message, raw);
  // The program's own keys come back here once the callback that sent them has returned. They
  // are neither taps nor the user's typing: an Enter typed on the layout would tap Enter again.
  if (event.extraInfo == kOwnInputMarker) return hook.CallNext(keyboardHook, 0, message, raw);

  const bool down = message == kWmKeyDown || message == kWmSysKeyDown;
  const std::uint32_t vkCode = event.vkCode;
  bool swallow = false;
  if (vkCode == vk::LShift) {
    leftShiftDown = down;
  } else if (down) {
    // Auto-repeat and keys pressed meanwhile leave the pending key as it is. A key that goes down
    // under the right Shift passes, and so does its release.
    if (pendingKey == 0 && !rightShiftDown) {
      pendingKey = vkCode;
      pendingShift = leftShiftDown;
    }
    swallow = Act(Decide(vkCode, leftShiftDown, rightShiftDown), false);
    if (vkCode == vk::RShift) rightShiftDown = true;
  } else {
    if (vkCode == vk::RShift) rightShiftDown = false;
    if (vkCode == pendingKey) {
      // The Shift state of the press decides: Shift let go before the 3 still makes "#".
      swallow = Act(Decide(pendingKey, pendingShift, false), true);
      SyncCapsLock();
      pendingKey = 0;
      pendingShift = false;
    }
  }
  // Work above may have typed, which re-installs the hook under a new handle.
  const std::intptr_t result = hook.CallNext(keyboardHook, 0, message, raw);
  return swallow ? 1 : result;
}

void StartHookState() {
  pendingKey = 0;
  pendingShift = false;
  leftShiftDown = os().keyboard->AsyncKeyDown(vk::LShift);
  rightShiftDown = os().keyboard->AsyncKeyDown(vk::RShift);
}

void ResetKeyboardHookState() {
  keyboardHookState = {};
}

}  // namespace bk
