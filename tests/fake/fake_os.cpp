#include "fake/fake_os.h"

#include <cstdio>

namespace bk::fake {

namespace {

// The character that a key gives, or 0 when it gives none.
char CharOf(std::uint8_t code, bool shift) {
  if (code >= 'A' && code <= 'Z') return static_cast<char>(shift ? code : code - 'A' + 'a');
  if (code >= '0' && code <= '9') return shift ? ")!@#$%^&*("[code - '0'] : static_cast<char>(code);
  if (code >= vk::Numpad0 && code <= vk::Numpad0 + 9) return static_cast<char>('0' + code - 0x60);
  const std::size_t at =
      std::string_view("\x20\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xDB\xDC\xDD\xDE").find(char(code));
  return at == std::string_view::npos ? 0 : (shift ? " :+<_>?~{|}\"" : " ;=,-./`[\\]'")[at];
}

}  // namespace

std::string TypedText(const std::vector<KeyInput>& events) {
  static const std::map<int, std::string> kNames = {
      {vk::Back, "back"},  {vk::Tab, "tab"},    {vk::Return, "enter"}, {vk::Escape, "esc"},
      {vk::Prior, "pgup"}, {vk::Next, "pgdn"},  {vk::End, "end"},      {vk::Home, "home"},
      {vk::Left, "left"},  {vk::Up, "up"},      {vk::Right, "right"},  {vk::Down, "down"},
      {vk::Insert, "ins"}, {vk::Delete, "del"}, {vk::Apps, "menu"},    {vk::Space, "space"}};
  bool down[256] = {};
  bool caps = false;
  std::string text;
  for (const KeyInput& event : events) {
    const std::uint8_t code = event.vk & 0xFF;
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    caps ^= code == vk::Capital && !up && !down[code];
    down[code] = !up;
    const bool shift = down[vk::Shift] || down[vk::LShift] || down[vk::RShift];
    const bool ctrl = down[vk::LControl] || down[vk::RControl];
    const bool alt = down[vk::LMenu] || down[vk::RMenu];
    const bool win = down[vk::LWin];
    const bool modifier = code == vk::Capital || code == vk::LWin ||
                          (code >= vk::Shift && code <= vk::Menu) ||
                          (code >= vk::LShift && code <= vk::RMenu);
    if (up || modifier) continue;
    const char ch = CharOf(code, code >= 'A' && code <= 'Z' ? shift != caps : shift);
    if (!ctrl && !alt && !win && ch != 0) {
      text += ch;
      continue;
    }
    const std::string name = kNames.count(code) != 0 ? kNames.at(code)
                             : code >= vk::F1 && code < vk::F1 + 12
                                 ? "f" + std::to_string(code - vk::F1 + 1)
                                 : std::string(1, CharOf(code, false));
    text += std::string("<") + (ctrl ? "ctrl+" : "") + (alt ? "alt+" : "") + (win ? "win+" : "") +
            (shift && (ch == 0 || ctrl || alt || win) ? "shift+" : "") + name + ">";
  }
  return text;
}

}  // namespace bk::fake
