#include "windows/foreground_control.h"

#include "platform/os.h"

namespace bk {

namespace {

constexpr std::uint32_t kExcludedStyles = ws::Popup | ws::Child | ws::Disabled;

bool IsCandidate(WindowId window, WindowId foreground) {
  Desktop& desktop = *os().desktop;
  if (window == foreground) return false;
  const std::uint32_t style = desktop.Style(window);
  const std::uint32_t exStyle = desktop.ExStyle(window);
  return (style & kExcludedStyles) == 0 && (style & ws::Visible) != 0 &&
         (style & ws::Minimizebox) != 0 && (exStyle & ws::ExNoActivate) == 0 &&
         !desktop.IsIconic(window) && desktop.IsVisible(window);
}

// Alt tapped twice: the system lets the process that made the last input event take the
// foreground.
void TapAltTwice() {
  KeyInput down;
  down.vk = vk::Menu;
  down.flags = kKeyEventExtended;
  down.extraInfo = kOwnInputMarker;
  KeyInput up = down;
  up.flags = kKeyEventExtended | kKeyEventKeyUp;
  const KeyInput events[] = {down, up, down, up};
  os().keyboard->SendKeys(events);
}

}  // namespace

WindowId FindActivationCandidate(WindowId foreground) {
  Desktop& desktop = *os().desktop;
  WindowId window = desktop.TopChild(desktop.DesktopWindow());
  for (std::size_t seen = 0; window != 0 && seen < kMaxCandidateWalk; ++seen) {
    if (IsCandidate(window, foreground)) return window;
    window = desktop.NextBelow(window);
  }
  return 0;
}

void ActivationBurst(WindowId target) {
  WindowControl& windows = *os().windows;
  windows.Show(target, sw::Show);
  windows.SetForeground(target);
  windows.BringToTop(target);
  windows.SetActive(target);
  windows.SetFocus(target);
  windows.Show(target, sw::Show);
  windows.SetForeground(target);
  windows.SetFocus(target);
}

void ForceForeground(WindowId target) {
  Desktop& desktop = *os().desktop;
  WindowControl& windows = *os().windows;
  WindowId foreground = desktop.Foreground();
  if (!desktop.Exists(foreground)) foreground = desktop.DesktopWindow();

  if (target != foreground) {
    ActivationBurst(target);
    windows.PlaceOnTop(target);
    if (!windows.SetForeground(target)) {
      const ThreadId foregroundThread = desktop.WindowThreadProcess(foreground, nullptr);
      const ThreadId targetThread = desktop.WindowThreadProcess(target, nullptr);
      windows.AttachInput(foregroundThread, targetThread, true);
      if (!windows.SetForeground(target)) {
        TapAltTwice();
        windows.SetForeground(target);
      }
      ActivationBurst(target);
      windows.AttachInput(foregroundThread, targetThread, false);
    }
  }

  if (desktop.IsIconic(target)) windows.Post(target, msg::SysCommand, msg::ScRestore, 0);
  ActivationBurst(target);
}

void ForegroundWindowAction(bool maximise) {
  Desktop& desktop = *os().desktop;
  WindowControl& windows = *os().windows;
  const WindowId foreground = desktop.Foreground();
  if (foreground == 0) return;
  std::uint32_t style = 0;
  if (!desktop.WindowInfoStyle(foreground, &style)) return;

  if (maximise) {
    if ((style & ws::Maximizebox) == 0) return;
    const bool restore = desktop.IsZoomed(foreground) || desktop.IsIconic(foreground);
    windows.Show(foreground, restore ? sw::Restore : sw::Maximize);
    return;
  }

  if ((style & ws::Minimizebox) == 0) return;
  // The candidate is chosen before the minimise, which reorders the windows.
  const WindowId next = FindActivationCandidate(foreground);
  windows.Show(foreground, sw::Minimize);
  if (next != 0 && desktop.Exists(next)) ForceForeground(next);
}

}  // namespace bk
