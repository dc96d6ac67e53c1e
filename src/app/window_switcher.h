// The system's window switcher, driven with synthetic keys: a modifier held down while Tab is
// tapped once per step, released to pick the highlighted window.
#pragma once

#include <cstdint>

namespace bk {

struct SwitcherState {
  bool active = false;            // the switcher holds its modifier key down
  std::uint8_t heldModifier = 0;  // that key: the one that goes up is the one that went down
};
extern SwitcherState switcherState;
inline bool& switcherActive = switcherState.active;

inline constexpr unsigned kSwitcherFirstHoldMs = 4000;
inline constexpr unsigned kSwitcherLaterHoldMs = 1500;

// true: one more step (the first presses the modifier). false: release the modifier, if held.
void StepWindowSwitcher(bool step);

// Only Windows 7 (6.1), the oldest system that runs BkRemote, switches with Windows+Tab (Flip
// 3D, which picks the highlighted window when the key goes up). Elsewhere that key does the wrong
// thing (full-screen apps only on 8 and 8.1; Task View on 10 and 11, which stays open and picks
// nothing), so Alt+Tab is used. A failed version query keeps the Windows key.
bool SwitcherUsesWindowsKey();

// The modifier that the switcher holds on this system.
std::uint8_t SwitcherModifier();

}  // namespace bk
