#include "osd/layout_tables.h"

#include <gtest/gtest.h>

#include <string>

namespace bk {
namespace {

// The characters on the keys, in table order, plain and shifted: what the user reads.
std::string Characters(const LayoutKey* layout, char LayoutKey::*field) {
  std::string text;
  for (int i = 0; layout[i].width != 0; ++i) {
    if (layout[i].ch != 0) text += layout[i].*field;
  }
  return text;
}

TEST(LayoutTablesTest, CharacterKeysCarryTheCharactersOfTheirPictures) {
  EXPECT_EQ(Characters(keyboardLayout.data(), &LayoutKey::ch),
            "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./");
  EXPECT_EQ(Characters(keyboardLayout.data(), &LayoutKey::shiftCh),
            "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>?");
  EXPECT_EQ(Characters(phonepadLayout.data(), &LayoutKey::ch),
            "1\"'()<>|`2abcABC3defDEF4ghiGHI5jklJKL6mnoMNO7pqrsPQRS8tuvTUV9wxyzWXYZ*.-/:0#?!@");
  EXPECT_EQ(Characters(phonepadLayout.data(), &LayoutKey::shiftCh),
            "1^~[]{}&_2ABCabc3DEFdef4GHIghi5JKLjkl^MNOmno7PQRSpqrs8TUVtuv(WXYZwxyz*,+\\;0#=$%");
}

// Below the close key, each row of the keyboard runs from x 10 to 760 without a gap, save the
// two pixels that set the function keys apart, and each row starts where the one above ends.
TEST(LayoutTablesTest, TheKeyboardsRowsTileItsWidth) {
  const LayoutKey* key = keyboardLayout.data();
  EXPECT_EQ(key[1].x, 10);
  for (int i = 2; key[i - 1].width != 0; ++i) {
    const LayoutKey& a = key[i - 1];
    const LayoutKey& b = key[i];
    SCOPED_TRACE(std::string(a.label) + " to " + std::string(b.label));
    if (b.width != 0 && b.x > a.x) {
      EXPECT_EQ(b.x - a.x - a.width, b.label == "F1" || b.label == "Ins" ? 2 : 0);
      EXPECT_EQ(b.y, a.y);
      EXPECT_EQ(b.height, a.height);
      continue;
    }
    EXPECT_EQ(a.x + a.width, 760);
    if (b.width == 0) break;
    EXPECT_EQ(b.x, 10);
    EXPECT_EQ(b.y, a.y + a.height + (a.y == 26 ? 6 : 0));
  }
}

// A sequence that taps can reach repeats one symbol; the others are placeholders: the close key,
// the top row and the four right-hand modifiers and menu.
TEST(LayoutTablesTest, OnlyPointerKeysCarryPlaceholderSequences) {
  int placeholders = 0;
  for (const LayoutKey* layout : {keyboardLayout.data(), phonepadLayout.data()}) {
    for (int i = 0; layout[i].width != 0; ++i) {
      const std::string_view s = layout[i].sequence;
      if (s.front() == '-') {
        placeholders += s.back() == '-';
      } else {
        EXPECT_EQ(s.find_first_not_of(s.front()), std::string_view::npos) << s;
      }
    }
  }
  EXPECT_EQ(placeholders, 24 + 4);
}

// The phone pad's groups: a header, then members that span its 192 pixels in the row below,
// selected by one to n taps, the header by n + 1.
struct Group {
  char symbol;
  int header;
  int members;
};

class PhonepadGroupTest : public ::testing::TestWithParam<Group> {};

TEST_P(PhonepadGroupTest, MembersSpanTheHeaderAndCountTheTaps) {
  const Group& g = GetParam();
  const LayoutKey& header = phonepadLayout[g.header];
  EXPECT_EQ(header.sequence, std::string(g.members + 1, g.symbol));
  double x = header.x;
  for (int j = 1; j <= g.members; ++j) {
    const LayoutKey& member = phonepadLayout[g.header + j];
    EXPECT_EQ(member.sequence, std::string(j, g.symbol));
    EXPECT_EQ(member.style, KeyStyle::normal);
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
