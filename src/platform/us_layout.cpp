#include "platform/us_layout.h"

namespace bk {

KeyValue UsLayoutKeyForChar(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<KeyValue>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return static_cast<KeyValue>(kShiftBit | c);
  if (c >= '0' && c <= '9') return c;
  static const struct {
    char ch;
    KeyValue value;
  } kTable[] = {
      {' ', 0x20},  {'\t', 0x09}, {'\r', 0x0D}, {'\n', 0x20D}, {'\b', 0x08}, {'`', 0xC0},
      {'~', 0x1C0}, {'!', 0x131}, {'@', 0x132}, {'#', 0x133},  {'$', 0x134}, {'%', 0x135},
      {'^', 0x136}, {'&', 0x137}, {'*', 0x138}, {'(', 0x139},  {')', 0x130}, {'-', 0xBD},
      {'_', 0x1BD}, {'=', 0xBB},  {'+', 0x1BB}, {'[', 0xDB},   {'{', 0x1DB}, {']', 0xDD},
      {'}', 0x1DD}, {'\\', 0xDC}, {'|', 0x1DC}, {';', 0xBA},   {':', 0x1BA}, {'\'', 0xDE},
      {'"', 0x1DE}, {',', 0xBC},  {'<', 0x1BC}, {'.', 0xBE},   {'>', 0x1BE}, {'/', 0xBF},
      {'?', 0x1BF},
  };
  for (const auto& entry : kTable) {
    if (entry.ch == ch) return entry.value;
  }
  return kNoKey;
}

}  // namespace bk
