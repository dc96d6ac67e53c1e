#include "app/timers.h"

#include "app/vendor_buttons.h"
#include "app/window_switcher.h"
#include "osd/osd_window.h"
#include "osd/text_entry.h"
#include "platform/os.h"
#include "windows/viewer_launch.h"

namespace bk {

void OnInputWindowTimer(TimerId id) {
  switch (id) {
    case TIMER_COMMIT:
      CommitSelection();
      os().timers->Stop(TIMER_COMMIT);
      break;
    case TIMER_SWITCHER:
      StepWindowSwitcher(false);
      os().timers->Stop(TIMER_SWITCHER);
      break;
    case TIMER_INPUT_HOLD:
      InputHoldFired();
      break;
    case TIMER_FADE:
      FadeInStep();
      break;
    case TIMER_VIEWER:
      ViewerTimerFired();
      break;
    default:
      break;  // ids the program does not use go only to DefWindowProcA
  }
}

}  // namespace bk
