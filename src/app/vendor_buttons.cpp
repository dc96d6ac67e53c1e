#include "app/vendor_buttons.h"

#include "app/window_switcher.h"
#include "osd/layout_tables.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "platform/os.h"
#include "state/program_state.h"
#include "windows/foreground_control.h"
#include "windows/viewer_launch.h"

namespace bk {

VendorButtonState vendorButtonState;

namespace {

// INPUT pressed while the layout is shown: short or long is told at the release; a repeated
// press report restarts the hold.
void HoldInput() {
  inputHeld = true;
  holdFired = false;
  os().timers->Start(TIMER_INPUT_HOLD, kInputHoldMs);
}

void InputReleased() {
  if (!inputHeld) return;
  if (!holdFired) {
    os().timers->Stop(TIMER_INPUT_HOLD);
    SetLayoutVisible(false);
  }
  inputHeld = false;
}

}  // namespace

VendorAction DecideVendorButton(std::uint8_t number, bool shown) {
  using Kind = VendorAction::Kind;
  if (shown && number >= kButtonA && number <= kButtonD) {
    return {Kind::TapSymbol, static_cast<char>('A' + (number - kButtonA))};
  }
  switch (number) {
    case kVendorRelease:
      return {Kind::InputRelease};
    case kViewerButton:
      return {Kind::StartViewer};
    case kInputButton:
      return {shown ? Kind::HoldInput : Kind::ShowLayout};
    case kButtonA:
      return {Kind::SwitcherStep};
    case kButtonB:
      return {Kind::Minimise};
    case kButtonC:
      return {Kind::MaximiseOrRestore};
    case kButtonD:
      return {Kind::Close};
    default:
      return {};  // no such button
  }
}

void VendorButton(std::uint8_t number) {
  // The switcher holds Alt or the Windows key down: every other press ends it first, or that
  // modifier would join what the press sends. A release is no press.
  if (number != kButtonA && number != kVendorRelease) StepWindowSwitcher(false);
  const VendorAction action = DecideVendorButton(number, layoutShown);
  switch (action.kind) {
    case VendorAction::Kind::None:
      break;
    case VendorAction::Kind::InputRelease:
      InputReleased();
      break;
    case VendorAction::Kind::StartViewer:
      ViewerButtonPressed();
      break;
    case VendorAction::Kind::ShowLayout:
      SetLayoutVisible(true);
      break;
    case VendorAction::Kind::HoldInput:
      HoldInput();
      break;
    case VendorAction::Kind::TapSymbol:
      PressSymbol(action.symbol);
      break;
    case VendorAction::Kind::SwitcherStep:
      StepWindowSwitcher(true);
      break;
    case VendorAction::Kind::Minimise:
      ForegroundWindowAction(false);
      break;
    case VendorAction::Kind::MaximiseOrRestore:
      ForegroundWindowAction(true);
      break;
    case VendorAction::Kind::Close:
      os().windows->Post(os().desktop->Foreground(), msg::Close, 0, 0);
      break;
  }
}

void InputHoldFired() {
  holdFired = true;
  SelectLayout(activeLayout == keyboardLayout.data() ? phonepadLayout.data()
                                                     : keyboardLayout.data());
  os().timers->Stop(TIMER_INPUT_HOLD);
}

void ResetVendorButtonState() {
  vendorButtonState = {};
  switcherState = {};
}

}  // namespace bk
