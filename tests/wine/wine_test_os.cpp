#include "wine_test_os.h"

#include "app/program_state.h"
#include "platform/win32/win32_os.h"

namespace bk::wine {

void InstallTestOs() {
  InstallOs(win32::RealOs());
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

std::wstring TestFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

}  // namespace bk::wine
