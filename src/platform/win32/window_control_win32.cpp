#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

HWND W(WindowId window) {
  return reinterpret_cast<HWND>(window);
}

class Win32WindowControl final : public WindowControl {
 public:
  bool Show(WindowId window, int command) override {
    return ShowWindow(W(window), command) != FALSE;
  }
  bool SetForeground(WindowId window) override { return SetForegroundWindow(W(window)) != FALSE; }
  void BringToTop(WindowId window) override { BringWindowToTop(W(window)); }
  void SetActive(WindowId window) override { SetActiveWindow(W(window)); }
  void SetFocus(WindowId window) override { ::SetFocus(W(window)); }
  void PlaceOnTop(WindowId window) override {
    SetWindowPos(W(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  }
  void AttachInput(ThreadId from, ThreadId to, bool attach) override {
    AttachThreadInput(from, to, attach ? TRUE : FALSE);
  }
  void Post(WindowId window, unsigned message, std::uintptr_t wParam,
            std::intptr_t lParam) override {
    PostMessageA(W(window), message, wParam, lParam);
  }
};

}  // namespace

WindowControl& WindowControlImpl() {
  static Win32WindowControl windowControl;
  return windowControl;
}

}  // namespace bk::win32
