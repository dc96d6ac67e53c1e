#include "bindings/key_injection.h"

#include <vector>

#include "bindings/binding_file.h"
#include "bindings/foreground_tracking.h"
#include "osd/text_entry.h"
#include "platform/os.h"
#include "state/program_state.h"

namespace bk {

namespace {

// The hook must never be installed while SendInput runs: take it out, send, put it back.
class HookOutOfChain {
 public:
  HookOutOfChain() : wasInstalled_(keyboardHook != 0) {
    if (wasInstalled_) {
      os().hook->Remove(keyboardHook);
      keyboardHook = 0;
    }
  }
  ~HookOutOfChain() {
    if (wasInstalled_) keyboardHook = os().hook->Install();
  }
  HookOutOfChain(const HookOutOfChain&) = delete;
  HookOutOfChain& operator=(const HookOutOfChain&) = delete;

 private:
  bool wasInstalled_;
};

}  // namespace

bool IsExtendedKey(std::uint8_t vk) {
  switch (vk) {
    case vk::Prior:
    case vk::Next:
    case vk::End:
    case vk::Home:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
    case vk::Snapshot:
    case vk::Insert:
    case vk::Delete:
    case vk::LWin:
    case vk::RWin:
    case vk::Apps:
    case vk::Divide:
    case vk::NumLock:
    case vk::RControl:
    case vk::RMenu:
      return true;
    default:
      return false;
  }
}

KeyInput MakeKeyEvent(std::uint8_t vk, bool down) {
  KeyInput event;
  event.vk = vk;
  event.scan = os().keyboard->ScanCode(vk);
  event.flags = (IsExtendedKey(vk) ? kKeyEventExtended : 0) | (down ? 0 : kKeyEventKeyUp);
  event.extraInfo = kOwnInputMarker;
  return event;
}

void SendKeyEvent(bool down, KeyValue key) {
  HookOutOfChain unhooked;
  const KeyInput event[] = {MakeKeyEvent(static_cast<std::uint8_t>(key & 0xFF), down)};
  os().keyboard->SendKeys(event);
}

void TypeKey(KeyValue key, bool capsSensitive) {
  // No key of the keyboard layout makes this character: sending VK 255 would type nothing
  // useful and could confuse the application.
  if (key == kNoKey) return;
  HookOutOfChain unhooked;
  Keyboard& keyboard = *os().keyboard;
  const std::uint8_t vkCode = static_cast<std::uint8_t>(key & 0xFF);
  const bool needShift = (key & kShiftBit) != 0;
  const bool altGr = (key & kCtrlBit) != 0 && (key & kAltBit) != 0;
  bool shiftNow = keyboard.AsyncKeyDown(vk::Shift);
  const bool leftDown = keyboard.AsyncKeyDown(vk::LShift);
  const bool rightDown = keyboard.AsyncKeyDown(vk::RShift);
  if (capsOn && capsSensitive) shiftNow = !shiftNow;

  std::vector<KeyInput> events;
  const auto add = [&](std::uint8_t vk, bool down) { events.push_back(MakeKeyEvent(vk, down)); };
  const auto keystroke = [&] {
    if (altGr) {
      add(vk::LControl, true);
      add(vk::LMenu, true);
    }
    add(vkCode, true);
    add(vkCode, false);
    if (altGr) {
      add(vk::LMenu, false);
      add(vk::LControl, false);
    }
  };
  if (shiftNow == needShift) {
    keystroke();
  } else if (needShift) {
    add(vk::LShift, true);
    keystroke();
    add(vk::LShift, false);
  } else {
    if (leftDown) add(vk::LShift, false);
    if (rightDown) add(vk::RShift, false);
    keystroke();
    if (leftDown) add(vk::LShift, true);
    if (rightDown) add(vk::RShift, true);
  }
  keyboard.SendKeys(events);
}

void SendBinding(std::string_view name) {
  RefreshAppBindings();
  const auto found = AppBindings.find(name);
  if (found == AppBindings.end()) return;
  // A copy, so that the chord is released exactly as it was pressed whatever happens to the
  // table meanwhile.
  const KeySequence keys = found->second;
  for (KeyValue key : keys) SendKeyEvent(true, key);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) SendKeyEvent(false, *key);
}

}  // namespace bk
