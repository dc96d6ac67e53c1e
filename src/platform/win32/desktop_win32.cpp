#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

static_assert(WS_POPUP == ws::Popup && WS_CHILD == ws::Child && WS_VISIBLE == ws::Visible);
static_assert(WS_DISABLED == ws::Disabled && WS_MINIMIZEBOX == ws::Minimizebox);
static_assert(WS_MAXIMIZEBOX == ws::Maximizebox && WS_EX_NOACTIVATE == ws::ExNoActivate);

namespace {

HWND Hwnd(WindowId window) {
  return reinterpret_cast<HWND>(window);
}
WindowId Id(HWND window) {
  return reinterpret_cast<WindowId>(window);
}

class Win32Desktop final : public Desktop {
 public:
  WindowId Foreground() override { return Id(GetForegroundWindow()); }
  ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) override {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(Hwnd(window), &process);
    if (processId != nullptr) *processId = process;
    return thread;
  }
  bool WindowInfoStyle(WindowId window, std::uint32_t* style) override {
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    if (!GetWindowInfo(Hwnd(window), &info)) return false;
    *style = info.dwStyle;
    return true;
  }
  std::uint32_t Style(WindowId window) override {
    return static_cast<std::uint32_t>(GetWindowLongA(Hwnd(window), GWL_STYLE));
  }
  std::uint32_t ExStyle(WindowId window) override {
    return static_cast<std::uint32_t>(GetWindowLongA(Hwnd(window), GWL_EXSTYLE));
  }
  bool IsZoomed(WindowId window) override { return ::IsZoomed(Hwnd(window)) != FALSE; }
  bool IsIconic(WindowId window) override { return ::IsIconic(Hwnd(window)) != FALSE; }
  bool IsVisible(WindowId window) override { return IsWindowVisible(Hwnd(window)) != FALSE; }
  bool Exists(WindowId window) override { return IsWindow(Hwnd(window)) != FALSE; }
  WindowId DesktopWindow() override { return Id(GetDesktopWindow()); }
  WindowId TopChild(WindowId parent) override { return Id(GetTopWindow(Hwnd(parent))); }
  WindowId NextBelow(WindowId window) override { return Id(GetWindow(Hwnd(window), GW_HWNDNEXT)); }
  WindowId FindTopWindow(const char* className) override {
    return Id(FindWindowA(className, nullptr));
  }
};

}  // namespace

Desktop& DesktopImpl() {
  static Win32Desktop desktop;
  return desktop;
}

}  // namespace bk::win32
