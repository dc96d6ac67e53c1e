#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

HWND Handle(WindowId window) {
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
    const DWORD thread = GetWindowThreadProcessId(Handle(window), &process);
    if (processId != nullptr) *processId = process;
    return thread;
  }
  bool WindowInfoStyle(WindowId window, std::uint32_t* style) override {
    WINDOWINFO info{};
    info.cbSize = sizeof info;
    if (!GetWindowInfo(Handle(window), &info)) return false;
    *style = info.dwStyle;
    return true;
  }
  std::uint32_t Style(WindowId window) override {
    return static_cast<std::uint32_t>(GetWindowLongA(Handle(window), GWL_STYLE));
  }
  std::uint32_t ExStyle(WindowId window) override {
    return static_cast<std::uint32_t>(GetWindowLongA(Handle(window), GWL_EXSTYLE));
  }
  bool IsZoomed(WindowId window) override { return ::IsZoomed(Handle(window)) != FALSE; }
  bool IsIconic(WindowId window) override { return ::IsIconic(Handle(window)) != FALSE; }
  bool IsVisible(WindowId window) override { return IsWindowVisible(Handle(window)) != FALSE; }
  bool Exists(WindowId window) override { return IsWindow(Handle(window)) != FALSE; }
  WindowId DesktopWindow() override { return Id(GetDesktopWindow()); }
  WindowId TopChild(WindowId parent) override { return Id(GetTopWindow(Handle(parent))); }
  WindowId NextBelow(WindowId window) override {
    return Id(GetWindow(Handle(window), GW_HWNDNEXT));
  }
};

}  // namespace

Desktop& DesktopImpl() {
  static Win32Desktop desktop;
  return desktop;
}

}  // namespace bk::win32
