// The remote's vendor buttons: INPUT shows and hides the layout and, held, switches it; A to D
// drive windows, or tap on the shown layout; the viewer button starts the viewer.
#pragma once

#include <cstdint>

namespace bk {

// The starting values live here alone: the program starts with them, and a reset goes back to
// them. Each piece is used by its own name below.
struct VendorButtonState {
  bool inputHeld = false;  // an INPUT press made while the layout was shown awaits its release
  bool holdFired = false;  // TIMER_INPUT_HOLD has fired for that press: the layout was switched
};
extern VendorButtonState vendorButtonState;
inline bool& inputHeld = vendorButtonState.inputHeld;
inline bool& holdFired = vendorButtonState.holdFired;

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

// What a vendor button does, with the layout shown or down.
struct VendorAction {
  enum class Kind {
    None,               // no such button
    InputRelease,       // ends an INPUT press made while the layout was shown
    StartViewer,        // the viewer, after kViewerDelayMs
    ShowLayout,         // INPUT with the layout down
    HoldInput,          // INPUT with the layout shown: hides it, or held switches layouts
    TapSymbol,          // A to D on the shown layout
    SwitcherStep,       // A: one step of the window switcher
    Minimise,           // B: minimise the window in front, activate the next
    MaximiseOrRestore,  // C
    Close,              // D: ask the window in front to close
  };
  Kind kind = Kind::None;
  char symbol = 0;  // TapSymbol: "A" to "D"
  bool operator==(const VendorAction&) const = default;
};
VendorAction DecideVendorButton(std::uint8_t number, bool shown);

void VendorButton(std::uint8_t number);

// TIMER_INPUT_HOLD: INPUT has been held long enough; the other layout becomes the active one.
void InputHoldFired();

// Puts the buttons' state back as it is before start-up (for tests).
void ResetVendorButtonState();

}  // namespace bk
