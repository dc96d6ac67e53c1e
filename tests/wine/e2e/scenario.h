// The text form of an end-to-end scenario: one command per line, a line whose first word starts
// with '#' is a comment, words are
// separated by blanks, and "double quotes" hold a word with blanks or escapes (\n \t \" \\ \xNN).
#pragma once

#include <string>
#include <vector>

namespace bk::e2e {

struct Step {
  int line;
  std::string text;  // the line as written, for messages
  std::vector<std::string> words;
};

// Parses a whole scenario. A line with an unterminated quote is reported in *error.
std::vector<Step> ParseScenario(const std::string& source, std::string* error);

// A recorded key message as the expectations spell it: "down:P", "up:CONTROL", "sysdown:MENU".
std::string KeyEventName(const std::string& kind, unsigned vk);
// The name of a virtual-key code: "A", "7", "RETURN", "LSHIFT", or "0x5D" when it has none.
std::string VirtualKeyName(unsigned vk);

}  // namespace bk::e2e
