#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

HWND W(WindowId window) {
  return reinterpret_cast<HWND>(window);
}

class Win32LayoutWindow final : public LayoutWindow {
 public:
  void MakeTopmost(WindowId window, int width, int height) override {
    SetWindowPos(W(window), HWND_TOPMOST, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);
  }
  void Move(WindowId window, int x, int y, int width, int height, bool repaint) override {
    MoveWindow(W(window), x, y, width, height, repaint ? TRUE : FALSE);
  }
  bool WindowRect(WindowId window, Rect* rect) override {
    RECT r;
    if (!GetWindowRect(W(window), &r)) return false;
    *rect = {r.left, r.top, r.right, r.bottom};
    return true;
  }
  int SystemMetric(int index) override { return GetSystemMetrics(index); }
  void Invalidate(WindowId window, const Rect* rect, bool erase) override {
    RECT r{};
    if (rect != nullptr) r = {rect->left, rect->top, rect->right, rect->bottom};
    InvalidateRect(W(window), rect != nullptr ? &r : nullptr, erase ? TRUE : FALSE);
  }
  bool SetAlpha(WindowId window, std::uint8_t alpha) override {
    return SetLayeredWindowAttributes(W(window), 0, alpha, LWA_ALPHA) != FALSE;
  }
  void SetExStyle(WindowId window, std::uint32_t exStyle) override {
    SetWindowLongPtrA(W(window), GWL_EXSTYLE, static_cast<LONG_PTR>(exStyle));
  }
  WindowId CreateChild(const ChildValues& values) override {
    HWND child = CreateWindowExA(0, values.className, "", values.style, values.x, values.y,
                                 values.width, values.height, W(values.parent), nullptr,
                                 static_cast<HINSTANCE>(Instance()), nullptr);
    return reinterpret_cast<WindowId>(child);
  }
  void SetUserData(WindowId window, std::intptr_t value) override {
    SetWindowLongPtrA(W(window), GWLP_USERDATA, static_cast<LONG_PTR>(value));
  }
  std::intptr_t UserData(WindowId window) override {
    return static_cast<std::intptr_t>(GetWindowLongPtrA(W(window), GWLP_USERDATA));
  }
  void SetClassBackgroundBlack(WindowId window) override {
    SetClassLongPtrA(W(window), GCLP_HBRBACKGROUND,
                     reinterpret_cast<LONG_PTR>(GetStockObject(BLACK_BRUSH)));
  }
  std::uint32_t ButtonState(WindowId button) override {
    return static_cast<std::uint32_t>(SendMessageA(W(button), BM_GETSTATE, 0, 0));
  }
};

}  // namespace

LayoutWindow& LayoutWindowImpl() {
  static Win32LayoutWindow layoutWindow;
  return layoutWindow;
}

}  // namespace bk::win32
