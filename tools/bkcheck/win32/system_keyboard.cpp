// BkCheck.exe reads key values with VkKeyScanA, exactly as BkRemote.exe does.
#include "checker_keyboard.h"
#include "platform/win32/win32_os.h"

namespace bk::check {

Keyboard& CheckerKeyboard() {
  return win32::KeyboardImpl();
}

}  // namespace bk::check
