#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

static_assert(SW_HIDE == sw::Hide && SW_SHOWNORMAL == sw::ShowNormal);
static_assert(SW_MAXIMIZE == sw::Maximize && SW_SHOWNOACTIVATE == sw::ShowNoActivate);
static_assert(SW_SHOW == sw::Show && SW_MINIMIZE == sw::Minimize && SW_RESTORE == sw::Restore);
static_assert(WM_CLOSE == msg::Close && WM_SYSCOMMAND == msg::SysCommand);
static_assert(SC_RESTORE == msg::ScRestore);

namespace {

HWND Hwnd(WindowId window) {
  return reinterpret_cast<HWND>(window);
}

class Win32WindowControl final : public WindowControl {
 public:
  bool Show(WindowId window, int command) override {
    return ShowWindow(Hwnd(window), command) != FALSE;
  }
  bool SetForeground(WindowId window) override {
    return SetForegroundWindow(Hwnd(window)) != FALSE;
  }
  void BringToTop(WindowId window) override { BringWindowToTop(Hwnd(window)); }
  void SetActive(WindowId window) override { SetActiveWindow(Hwnd(window)); }
  void SetFocus(WindowId window) override { ::SetFocus(Hwnd(window)); }
  void PlaceOnTop(WindowId window) override {
    SetWindowPos(Hwnd(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  }
  void AttachInput(ThreadId from, ThreadId to, bool attach) override {
    AttachThreadInput(from, to, attach ? TRUE : FALSE);
  }
  void Post(WindowId window, unsigned message, std::uintptr_t wParam,
            std::intptr_t lParam) override {
    PostMessageA(Hwnd(window), message, wParam, lParam);
  }
};

}  // namespace

WindowControl& WindowControlImpl() {
  static Win32WindowControl windows;
  return windows;
}

}  // namespace bk::win32
