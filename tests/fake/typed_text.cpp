#include "fake/typed_text.h"

#include <array>
#include <cstring>

namespace bk::fake {

namespace {

struct Printable {
  std::uint8_t vk;
  char plain;
  char shifted;
};
constexpr Printable kPunctuation[] = {
    {0x20, ' ', ' '}, {0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'},
    {0xBE, '.', '>'}, {0xBF, '/', '?'},  {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'},
    {0xDD, ']', '}'}, {0xDE, '\'', '"'}, {0x6A, '*', '*'}, {0x6B, '+', '+'}, {0x6D, '-', '-'},
    {0x6E, '.', '.'}, {0x6F, '/', '/'},
};

struct Named {
  std::uint8_t vk;
  const char* name;
};
constexpr Named kNamed[] = {
    {vk::Back, "back"},   {vk::Tab, "tab"},       {vk::Return, "enter"}, {vk::Escape, "esc"},
    {vk::Prior, "pgup"},  {vk::Next, "pgdn"},     {vk::End, "end"},      {vk::Home, "home"},
    {vk::Left, "left"},   {vk::Up, "up"},         {vk::Right, "right"},  {vk::Down, "down"},
    {vk::Insert, "ins"},  {vk::Delete, "del"},    {vk::Apps, "menu"},    {vk::Snapshot, "prtsc"},
    {vk::NumLock, "num"}, {vk::Scroll, "scroll"},
};

bool IsModifier(std::uint8_t code) {
  switch (code) {
    case vk::Shift:
    case vk::LShift:
    case vk::RShift:
    case vk::Control:
    case vk::LControl:
    case vk::RControl:
    case vk::Menu:
    case vk::LMenu:
    case vk::RMenu:
    case vk::LWin:
    case vk::LWin + 1:
    case vk::Capital:
      return true;
    default:
      return false;
  }
}

// The character that the key gives, or 0 when it gives none.
char CharOf(std::uint8_t code, bool shift, bool caps) {
  if (code >= 'A' && code <= 'Z') return static_cast<char>(shift != caps ? code : code - 'A' + 'a');
  if (code >= '0' && code <= '9') return shift ? ")!@#$%^&*("[code - '0'] : static_cast<char>(code);
  if (code >= vk::Numpad0 && code <= vk::Numpad0 + 9) return static_cast<char>('0' + code - 0x60);
  for (const Printable& p : kPunctuation) {
    if (p.vk == code) return shift ? p.shifted : p.plain;
  }
  return 0;
}

std::string NameOf(std::uint8_t code) {
  for (const Named& n : kNamed) {
    if (n.vk == code) return n.name;
  }
  if (code >= vk::F1 && code < vk::F1 + 24) return "f" + std::to_string(code - vk::F1 + 1);
  const char ch = CharOf(code, false, false);
  if (ch != 0 && ch != ' ') return std::string(1, ch);
  if (ch == ' ') return "space";
  return "vk" + std::to_string(code);
}

}  // namespace

std::string TypedText(const std::vector<KeyInput>& events, bool capsLock) {
  std::array<bool, 256> down{};
  std::string text;
  for (const KeyInput& event : events) {
    const std::uint8_t code = static_cast<std::uint8_t>(event.vk);
    const bool up = (event.flags & kKeyEventKeyUp) != 0;
    if (code == vk::Capital && !up && !down[code]) capsLock = !capsLock;
    down[code] = !up;
    if (up || IsModifier(code)) continue;
    const bool shift = down[vk::Shift] || down[vk::LShift] || down[vk::RShift];
    const bool ctrl = down[vk::Control] || down[vk::LControl] || down[vk::RControl];
    const bool alt = down[vk::Menu] || down[vk::LMenu] || down[vk::RMenu];
    const bool win = down[vk::LWin] || down[vk::LWin + 1];
    const char ch = CharOf(code, shift, capsLock);
    if (!ctrl && !alt && !win && ch != 0) {
      text += ch;
      continue;
    }
    std::string chord = "<";
    if (ctrl) chord += "ctrl+";
    if (alt) chord += "alt+";
    if (win) chord += "win+";
    if (shift && (ch == 0 || ctrl || alt || win)) chord += "shift+";
    text += chord + NameOf(code) + ">";
  }
  return text;
}

}  // namespace bk::fake
