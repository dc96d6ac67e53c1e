// The remote's vendor buttons: INPUT shows and hides the layout and, held, switches it; A to D
// drive windows, or tap on the shown layout; the viewer button starts the viewer.
#pragma once

#include <cstdint>

namespace bk {

extern bool inputHeld;  // an INPUT press made while the layout was shown awaits its release
extern bool holdFired;  // TIMER_INPUT_HOLD has fired for that press: the layout was switched

// The buttons by their number, the low byte of the vendor code.
inline constexpr std::uint8_t kVendorRelease = 0x00;  // no button down
inline constexpr std::uint8_t kViewerButton = 0x01;
inline constexpr std::uint8_t kInputButton = 0x02;
inline constexpr std::uint8_t kButtonA = 0x06;
inline constexpr std::uint8_t kButtonB = 0x07;
inline constexpr std::uint8_t kButtonC = 0x08;
inline constexpr std::uint8_t kButtonD = 0x09;

// How long INPUT is held on the shown layout to switch to the other one.
inline constexpr unsigned kInputHoldMs = 1000;

void VendorButton(std::uint8_t number);

// TIMER_INPUT_HOLD: INPUT has been held long enough; the other layout becomes the active one.
void InputHoldFired();

// Puts the buttons' state back as it is before start-up (for tests).
void ResetVendorButtonState();

}  // namespace bk
