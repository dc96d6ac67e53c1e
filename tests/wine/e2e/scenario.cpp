#include "scenario.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace bk::e2e {

namespace {

bool SplitWords(const std::string& line, std::vector<std::string>* words) {
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    if (words->empty() && line[i] == '#') break;  // a comment line; "#" elsewhere is a word
    std::string word;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\' && i < line.size()) {
          const char e = line[i++];
          switch (e) {
            case 'n':
              c = '\n';
              break;
            case 'r':
              c = '\r';
              break;
            case 't':
              c = '\t';
              break;
            case 'x': {
              const std::string hex = line.substr(i, 2);
              c = static_cast<char>(std::strtol(hex.c_str(), nullptr, 16));
              i += hex.size();
              break;
            }
            default:
              c = e;
              break;
          }
        }
        word += c;
      }
      if (!closed) return false;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    }
    words->push_back(word);
  }
  return true;
}

}  // namespace

std::vector<Step> ParseScenario(const std::string& source, std::string* error) {
  std::vector<Step> steps;
  std::istringstream in(source);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Step step{number, line, {}};
    if (!SplitWords(line, &step.words)) {
      if (error) *error = "line " + std::to_string(number) + ": unterminated quote";
      return {};
    }
    if (!step.words.empty()) steps.push_back(step);
  }
  return steps;
}

std::string VirtualKeyName(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
    return std::string(1, static_cast<char>(vk));
  if (vk >= 0x60 && vk <= 0x69) return "NUMPAD" + std::to_string(vk - 0x60);
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x6F);
  struct Named {
    unsigned vk;
    const char* name;
  };
  static const Named names[] = {
      {0x08, "BACK"},
      {0x09, "TAB"},
      {0x0D, "RETURN"},
      {0x10, "SHIFT"},
      {0x11, "CONTROL"},
      {0x12, "MENU"},
      {0x13, "PAUSE"},
      {0x14, "CAPITAL"},
      {0x1B, "ESCAPE"},
      {0x20, "SPACE"},
      {0x21, "PRIOR"},
      {0x22, "NEXT"},
      {0x23, "END"},
      {0x24, "HOME"},
      {0x25, "LEFT"},
      {0x26, "UP"},
      {0x27, "RIGHT"},
      {0x28, "DOWN"},
      {0x2D, "INSERT"},
      {0x2E, "DELETE"},
      {0x5B, "LWIN"},
      {0x5C, "RWIN"},
      {0x5D, "APPS"},
      {0x6A, "MULTIPLY"},
      {0x6B, "ADD"},
      {0x6D, "SUBTRACT"},
      {0x6E, "DECIMAL"},
      {0x6F, "DIVIDE"},
      {0xA0, "LSHIFT"},
      {0xA1, "RSHIFT"},
      {0xA2, "LCONTROL"},
      {0xA3, "RCONTROL"},
      {0xA4, "LMENU"},
      {0xA5, "RMENU"},
      {0xAD, "VOLUME_MUTE"},
      {0xAE, "VOLUME_DOWN"},
      {0xAF, "VOLUME_UP"},
      {0xB0, "MEDIA_NEXT_TRACK"},
      {0xB1, "MEDIA_PREV_TRACK"},
      {0xB2, "MEDIA_STOP"},
      {0xB3, "MEDIA_PLAY_PAUSE"},
      {0xBA, "OEM_1"},
      {0xBB, "OEM_PLUS"},
      {0xBC, "OEM_COMMA"},
      {0xBD, "OEM_MINUS"},
      {0xBE, "OEM_PERIOD"},
      {0xBF, "OEM_2"},
      {0xC0, "OEM_3"},
      {0xDB, "OEM_4"},
      {0xDC, "OEM_5"},
      {0xDD, "OEM_6"},
      {0xDE, "OEM_7"},
  };
  for (const Named& n : names) {
    if (n.vk == vk) return n.name;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", vk);
  return hex;
}

std::string KeyEventName(const std::string& kind, unsigned vk) {
  const char* prefix = kind == "KEYDOWN"      ? "down:"
                       : kind == "KEYUP"      ? "up:"
                       : kind == "SYSKEYDOWN" ? "sysdown:"
                                              : "sysup:";
  return prefix + VirtualKeyName(vk);
}

}  // namespace bk::e2e
