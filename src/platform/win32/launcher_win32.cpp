#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

namespace {

const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

class Win32Launcher final : public Launcher {
 public:
  void Open(const char16_t* file, const char16_t* parameters) override {
    ShellExecuteW(nullptr, nullptr, Wide(file), Wide(parameters), nullptr, SW_SHOWNORMAL);
  }
};

}  // namespace

Launcher& LauncherImpl() {
  static Win32Launcher launcher;
  return launcher;
}

}  // namespace bk::win32
