#include "wine_test_os.h"

#include <vector>

#include "app/program_state.h"
#include "platform/win32/win32_os.h"

namespace bk::wine {

namespace {

class SendInputKeyboard final : public Keyboard {
 public:
  unsigned SendKeys(std::span<const KeyInput> events) override {
    std::vector<INPUT> inputs;
    for (const KeyInput& event : events) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = event.vk;
      input.ki.wScan = event.scan;
      input.ki.dwFlags = event.flags;
      input.ki.dwExtraInfo = event.extraInfo;
      inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
  std::uint16_t ScanCode(std::uint8_t vk) override {
    return static_cast<std::uint16_t>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  }
  KeyValue KeyForChar(char ch) override { return static_cast<KeyValue>(VkKeyScanA(ch)); }
  bool AsyncKeyDown(std::uint8_t vk) override { return (GetAsyncKeyState(vk) & 0x8000) != 0; }
  bool KeyToggled(std::uint8_t vk) override { return (GetKeyState(vk) & 1) != 0; }
};

}  // namespace

void InstallTestOs() {
  static SendInputKeyboard keyboard;

  Os all = win32::RealOs();
  if (all.keyboard == nullptr) all.keyboard = &keyboard;

  InstallOs(all);
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
