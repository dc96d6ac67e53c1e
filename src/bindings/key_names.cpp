#include "bindings/key_names.h"

#include <string_view>

#include "platform/os.h"

namespace bk {

KeyNameMap KeyNameTable;

namespace {

struct FixedKey {
  const char* name;
  KeyValue value;
};

// The modifiers are the left-hand keys: the side-neutral codes would reach some applications as
// neither side.
constexpr FixedKey kNamedKeys[] = {
    {"win", vk::LWin},  {"context", vk::Apps}, {"shift", vk::LShift},    {"ctrl", vk::LControl},
    {"alt", vk::LMenu}, {"enter", vk::Return}, {"numlock", vk::NumLock}, {"scrolllock", vk::Scroll},
};

constexpr FixedKey kEditingKeys[] = {
    {"backspace", vk::Back}, {"tab", vk::Tab},       {"esc", vk::Escape},      {"space", vk::Space},
    {"up", vk::Up},          {"down", vk::Down},     {"left", vk::Left},       {"right", vk::Right},
    {"pgup", vk::Prior},     {"pgdn", vk::Next},     {"home", vk::Home},       {"end", vk::End},
    {"insert", vk::Insert},  {"delete", vk::Delete}, {"prtscn", vk::Snapshot},
};

// Each of these characters is a key name of its own, with the key the layout makes it with.
constexpr std::string_view kOneCharacterNames = "abcdefghijklmnopqrstuvwxyz`,./;'[]\\-0123456789";
static_assert(kOneCharacterNames.size() == 46);

}  // namespace

void BuildKeyNameTable() {
  for (const FixedKey& key : kNamedKeys) KeyNameTable[key.name] = key.value;
  for (int digit = 0; digit <= 9; ++digit) {
    KeyNameTable["num" + std::to_string(digit)] = static_cast<KeyValue>(vk::Numpad0 + digit);
  }
  for (int number = 1; number <= 12; ++number) {
    KeyNameTable["f" + std::to_string(number)] = static_cast<KeyValue>(vk::F1 + number - 1);
  }
  for (const FixedKey& key : kEditingKeys) KeyNameTable[key.name] = key.value;

  Keyboard& keyboard = *os().keyboard;
  KeyNameTable["plus"] = keyboard.KeyForChar('+');
  KeyNameTable["equals"] = keyboard.KeyForChar('=');
  for (char ch : kOneCharacterNames) KeyNameTable[std::string(1, ch)] = keyboard.KeyForChar(ch);
}

}  // namespace bk
