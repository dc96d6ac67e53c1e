#include <windows.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

// Passes every key on for now; the layout's handling of the remote's keys comes here.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Win32Hook final : public Hook {
 public:
  HookHandle Install() override {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
    return reinterpret_cast<HookHandle>(hook);
  }
  void Remove(HookHandle handle) override { UnhookWindowsHookEx(reinterpret_cast<HHOOK>(handle)); }
  std::intptr_t CallNext(HookHandle handle, int code, std::uintptr_t message,
                         std::intptr_t raw) override {
    return CallNextHookEx(reinterpret_cast<HHOOK>(handle), code, message, raw);
  }
};

}  // namespace

Hook& HookImpl() {
  static Win32Hook hook;
  return hook;
}

}  // namespace bk::win32
