// The system's window switcher, driven with synthetic keys: a modifier held down while Tab is
// tapped once per step, released to pick the highlighted window.
#pragma once

#include <cstdint>

namespace bk {

extern bool switcherActive;  // the switcher holds its modifier key down

inline constexpr unsigned kSwitcherFirstHoldMs = 4000;
inline constexpr unsigned kSwitcherLaterHoldMs = 1500;

// true: one more step (the first presses the modifier). false: release the modifier, if held.
void StepWindowSwitcher(bool step);

// Windows 2000, XP and Server 2003 switch with Alt+Tab; later versions with Windows+Tab.
bool IsOsMajorVersion5();

// The modifier that the switcher holds on this system.
std::uint8_t SwitcherModifier();

}  // namespace bk
