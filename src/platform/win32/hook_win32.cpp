#include <windows.h>

#include "osd/keyboard_hook.h"
#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

// Hands each event to the layout's hook logic, in the logic's own terms.
LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
  HookEvent event;
  if (code == HC_ACTION) {
    const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    event.vkCode = info->vkCode;
    event.flags = info->flags;
    event.extraInfo = info->dwExtraInfo;
  }
  return KeyboardHookProc(code, wParam, event, lParam);
}

class Win32Hook final : public Hook {
 public:
  HookHandle Install() override {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, HookProcedure, GetModuleHandleA(nullptr), 0);
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
