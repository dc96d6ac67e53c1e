#include "app/vendor_buttons.h"

#include "app/program_state.h"
#include "app/window_switcher.h"
#include "osd/layout_tables.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "platform/os.h"
#include "windows/foreground_control.h"
#include "windows/viewer_launch.h"

namespace bk {

bool inputHeld = false;
bool holdFired = false;

namespace {

void InputPressed() {
  if (!layoutShown) {
    SetLayoutVisible(true);
    return;
  }
  // Short or long is told at the release; a repeated press report restarts the hold.
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

// Buttons A to D with the layout down.
void WindowButton(std::uint8_t number) {
  switch (number) {
    case kButtonA:
      StepWindowSwitcher(true);
      break;
    case kButtonB:
      ForegroundWindowAction(false);
      break;
    case kButtonC:
      ForegroundWindowAction(true);
      break;
    case kButtonD:
      os().windows->Post(os().desktop->Foreground(), msg::Close, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace

void VendorButton(std::uint8_t number) {
  // The switcher holds Alt or the Windows key down: every other press ends it first, or that
  // modifier would join what the press sends. A release is no press.
  if (number != kButtonA && number != kVendorRelease) StepWindowSwitcher(false);
  switch (number) {
    case kVendorRelease:
      InputReleased();
      break;
    case kViewerButton:
      ViewerButtonPressed();
      break;
    case kInputButton:
      InputPressed();
      break;
    case kButtonA:
    case kButtonB:
    case kButtonC:
    case kButtonD:
      if (layoutShown) {
        PressSymbol(static_cast<char>('A' + (number - kButtonA)));
      } else {
        WindowButton(number);
      }
      break;
    default:
      break;  // no such button
  }
}

void InputHoldFired() {
  holdFired = true;
  SelectLayout(activeLayout == keyboardLayout.data() ? phonepadLayout.data()
                                                     : keyboardLayout.data());
  os().timers->Stop(TIMER_INPUT_HOLD);
}

void ResetVendorButtonState() {
  inputHeld = false;
  holdFired = false;
}

}  // namespace bk
