#include "osd/layout_tables.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "fake/bk_test.h"

namespace bk {
namespace {

using enum KeyKind;
using enum KeyStyle;

class LayoutTablesTest : public fake::BkTest {};

TEST_F(LayoutTablesTest, EachWalkStopsAtItsEndRecord) {
  EXPECT_EQ(KeyCount(keyboardLayout.data()), 83);
  EXPECT_EQ(KeyCount(phonepadLayout.data()), 91);
}

TEST_F(LayoutTablesTest, CharacterKeysCarryTheirCharactersAsLabels) {
  for (const LayoutKey* layout : {keyboardLayout.data(), phonepadLayout.data()}) {
    for (int i = 0; layout[i].width != 0; ++i) {
      const LayoutKey& key = layout[i];
      SCOPED_TRACE(std::string(key.label) + " at " + std::to_string(i));
      const bool letter = std::isalpha(static_cast<unsigned char>(key.ch)) != 0;
      EXPECT_EQ(key.capsAffects, letter ? 1 : 0);
      if (key.ch == 0) {
        EXPECT_EQ(key.shiftCh, 0);
        EXPECT_EQ(key.shiftLabel, key.label);
        EXPECT_EQ(key.shiftVk, key.vk);
        continue;
      }
      EXPECT_EQ(key.label, std::string(1, key.ch));
      const bool header = layout == phonepadLayout.data() && key.style == special;
      EXPECT_EQ(key.shiftLabel, std::string(1, header ? key.ch : key.shiftCh));
    }
  }
}

TEST_F(LayoutTablesTest, OnlyPointerKeysCarryPlaceholderSequences) {
  std::set<std::string> placeholders;
  for (int i = 0; keyboardLayout[i].width != 0; ++i) {
    const std::string_view s = keyboardLayout[i].sequence;
    ASSERT_FALSE(s.empty());
    if (s.front() == '-') {
      EXPECT_EQ(s.back(), '-') << s;
      placeholders.insert(std::string(s));
    } else {
      // A reachable sequence repeats one tap symbol.
      EXPECT_EQ(s.find_first_not_of(s.front()), std::string_view::npos) << s;
    }
  }
  // The close key, row 1 and the four right-hand modifiers and menu.
  EXPECT_EQ(placeholders.size(), 1u + 19u + 4u);
}

// Keys checked field by field, chosen across every kind, style and row.
struct KeyRow {
  bool phonepad;
  int index;
  std::string_view label, shiftLabel;
  char ch, shiftCh;
  KeyValue vk;
  KeyKind kind;
  KeyStyle style;
  double x, y, width, height;
  std::string_view hint, sequence;
};

void PrintTo(const KeyRow& row, std::ostream* out) {
  *out << (row.phonepad ? "phonepad " : "keyboard ") << row.index << " " << row.label;
}

class LayoutKeyRowTest : public fake::BkTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(LayoutKeyRowTest, MatchesItsRow) {
  const KeyRow& row = GetParam();
  const LayoutKey& key = (row.phonepad ? phonepadLayout.data() : keyboardLayout.data())[row.index];
  EXPECT_EQ(key.label, row.label);
  EXPECT_EQ(key.shiftLabel, row.shiftLabel);
  EXPECT_EQ(key.ch, row.ch);
  EXPECT_EQ(key.shiftCh, row.shiftCh);
  EXPECT_EQ(key.vk, row.vk);
  EXPECT_EQ(key.kind, row.kind);
  EXPECT_EQ(key.style, row.style);
  EXPECT_EQ(key.x, row.x);
  EXPECT_EQ(key.y, row.y);
  EXPECT_EQ(key.width, row.width);
  EXPECT_EQ(key.height, row.height);
  EXPECT_EQ(key.hint, row.hint);
  EXPECT_EQ(key.sequence, row.sequence);
}

INSTANTIATE_TEST_SUITE_P(
    Keyboard, LayoutKeyRowTest,
    ::testing::Values(
        KeyRow{false, 0, "x", "x", 0, 0, 0, close, small, 764, -10, 16, 20, "", "-quit-"},
        KeyRow{false, 1, "Esc", "Esc", 0, 0, 27, character, small, 10, 26, 50, 24, "", "-x1-"},
        KeyRow{false, 13, "F12", "F12", 0, 0, 123, character, small, 458, 26, 36, 24, "", "-f12-"},
        KeyRow{false, 20, "`", "~", '`', '~', 0, character, normal, 10, 56, 65, 40, "1111111",
               "1111111"},
        KeyRow{false, 33, "back", "back", 0, 0, 8, immediate, normal, 675, 56, 85, 40, "clear",
               "X"},
        KeyRow{false, 35, "q", "Q", 'q', 'Q', 0, character, normal, 90, 96, 50, 40, "77", "77"},
        KeyRow{false, 47, "\\", "|", '\\', '|', 0, character, normal, 690, 96, 70, 40, "111111",
               "111111"},
        KeyRow{false, 48, "lock", "lock", 0, 0, 20, lock, special, 10, 136, 100, 40, "A", "A"},
        KeyRow{false, 59, "'", "\"", '\'', '"', 0, character, normal, 610, 136, 50, 40, "********",
               "********"},
        KeyRow{false, 60, "enter", "enter", 0, 0, 13, immediate, normal, 660, 136, 100, 40, "enter",
               "E"},
        KeyRow{false, 61, "shift", "shift", 0, 0, 160, modifier, special, 10, 176, 125, 40, "#",
               "#"},
        KeyRow{false, 72, "shift", "shift", 0, 0, 161, modifier, special, 635, 176, 125, 40, "",
               "-unused1-"},
        KeyRow{false, 76, "space", "space", 0, 0, 32, character, normal, 205, 216, 289, 40, "0",
               "0"},
        KeyRow{false, 78, "menu", "menu", 0, 0, 93, character, special, 550, 216, 56, 40, "",
               "-unused3-"},
        KeyRow{false, 82, ".net", ".net", 0, 0, 0, character, small, 722, 216, 38, 40, "*****",
               "*****"}));

INSTANTIATE_TEST_SUITE_P(
    Phonepad, LayoutKeyRowTest,
    ::testing::Values(
        KeyRow{true, 0, "x", "x", 0, 0, 0, close, small, 764, -10, 16, 20, "", "-quit-"},
        KeyRow{true, 1, "1", "1", '1', '1', 0, character, special, 0, 26, 192, 28, "", "111111111"},
        KeyRow{true, 2, "\"", "^", '"', '^', 0, character, normal, 0, 54, 24, 28, "", "1"},
        KeyRow{true, 14, "A", "a", 'A', 'a', 0, character, normal, 296, 54, 32, 28, "", "2222"},
        KeyRow{true, 38, "6", "6", '6', '^', 0, character, special, 400, 88, 192, 28, "",
               "6666666"},
        KeyRow{true, 61, "9", "9", '9', '(', 0, character, special, 400, 150, 192, 28, "",
               "999999999"},
        KeyRow{true, 77, "tab", "tab", 0, 0, 9, character, normal, 296, 240, 96, 28, "", "00"},
        KeyRow{true, 81, "@", "%", '@', '%', 0, character, normal, 528, 240, 64, 28, "", "###"},
        KeyRow{true, 82, "enter", "enter", 0, 0, 13, immediate, normal, 602, 26, 84, 56, "enter",
               "E"},
        KeyRow{true, 85, "delete", "delete", 0, 0, 46, immediate, normal, 686, 88, 84, 56, "",
               "-none-"},
        KeyRow{true, 86, "shift", "shift", 0, 0, 160, modifier, special, 602, 150, 42, 56, "A",
               "A"},
        KeyRow{true, 90, "caps lock", "caps lock", 0, 0, 20, lock, special, 602, 212, 168, 56, "",
               "-none yet-"}));

// The phone pad's groups: a header, then members that span its 192 pixels in the row below,
// selected by one to n taps, the header by n + 1.
struct Group {
  char symbol;
  int header;
  int members;
};

void PrintTo(const Group& group, std::ostream* out) {
  *out << "group " << group.symbol;
}

class PhonepadGroupTest : public fake::BkTest, public ::testing::WithParamInterface<Group> {};

TEST_P(PhonepadGroupTest, MembersSpanTheHeaderAndCountTheTaps) {
  const Group& g = GetParam();
  const LayoutKey& header = phonepadLayout[g.header];
  EXPECT_EQ(header.ch, g.symbol);
  EXPECT_EQ(header.sequence, std::string(g.members + 1, g.symbol));
  double x = header.x;
  for (int j = 0; j < g.members; ++j) {
    const LayoutKey& member = phonepadLayout[g.header + 1 + j];
    SCOPED_TRACE(j);
    EXPECT_EQ(member.sequence, std::string(j + 1, g.symbol));
    EXPECT_EQ(member.style, normal);
    EXPECT_EQ(member.y, header.y + 28);
    EXPECT_EQ(member.x, x);
    x += member.width;
  }
  EXPECT_EQ(x, header.x + 192);
}

INSTANTIATE_TEST_SUITE_P(Groups, PhonepadGroupTest,
                         ::testing::Values(Group{'1', 1, 8}, Group{'2', 10, 6}, Group{'3', 17, 6},
                                           Group{'4', 24, 6}, Group{'5', 31, 6}, Group{'6', 38, 6},
                                           Group{'7', 45, 8}, Group{'8', 54, 6}, Group{'9', 61, 8},
                                           Group{'*', 70, 4}, Group{'0', 75, 2},
                                           Group{'#', 78, 3}));

}  // namespace
}  // namespace bk
