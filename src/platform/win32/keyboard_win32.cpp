#include <windows.h>

#include <vector>

#include "platform/win32/win32_os.h"

namespace bk::win32 {

static_assert(KEYEVENTF_EXTENDEDKEY == kKeyEventExtended);
static_assert(KEYEVENTF_KEYUP == kKeyEventKeyUp);

namespace {

class Win32Keyboard final : public Keyboard {
 public:
  unsigned SendKeys(std::span<const KeyInput> events) override {
    std::vector<INPUT> inputs(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
      inputs[i].type = INPUT_KEYBOARD;
      inputs[i].ki.wVk = events[i].vk;
      inputs[i].ki.wScan = events[i].scan;
      inputs[i].ki.dwFlags = events[i].flags;
      inputs[i].ki.time = 0;
      inputs[i].ki.dwExtraInfo = events[i].extraInfo;
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

Keyboard& KeyboardImpl() {
  static Win32Keyboard keyboard;
  return keyboard;
}

}  // namespace bk::win32
