#include "osd/layout_tables.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "bindings/key_names.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

class LayoutTablesTest : public fake::BkTest {};

// The characters on the keys, in table order, plain and shifted: what the user reads.
std::string Characters(const LayoutKey* layout, char LayoutKey::*field) {
  std::string text;
  for (int i = 0; layout[i].width != 0; ++i) {
    if (layout[i].ch != 0) text += layout[i].*field;
  }
  return text;
}

TEST_F(LayoutTablesTest, CharacterKeysCarryTheCharactersOfTheirPictures) {
  EXPECT_EQ(Characters(keyboardLayout.data(), &LayoutKey::ch),
            "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./");
  EXPECT_EQ(Characters(keyboardLayout.data(), &LayoutKey::shiftCh),
            "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>?");
  EXPECT_EQ(Characters(phonepadLayout.data(), &LayoutKey::ch),
            "1\"'()<>|`2abcABC3defDEF4ghiGHI5jklJKL6mnoMNO7pqrsPQRS8tuvTUV9wxyzWXYZ*.-/:0#?!@");
  EXPECT_EQ(Characters(phonepadLayout.data(), &LayoutKey::shiftCh),
            "1^~[]{}&_2ABCabc3DEFdef4GHIghi5JKLjkl^MNOmno7PQRSpqrs8TUVtuv(WXYZwxyz*,+\\;0#=$%");
}

// A sequence that taps can reach repeats one symbol; the others are placeholders ("-f8-"). A key
// of fixed code whose label is a key name of the binding files types that key.
TEST_F(LayoutTablesTest, SequencesRepeatOneSymbolAndKeyNamedKeysTypeThatKey) {
  BuildKeyNameTable();
  for (const LayoutKey* layout : {keyboardLayout.data(), phonepadLayout.data()}) {
    for (int i = 1; layout[i].width != 0; ++i) {  // after the close key
      const std::string_view s = layout[i].sequence;
      EXPECT_TRUE(s.front() == '-' || s.find_first_not_of(s.front()) == s.npos) << s;
      std::string name(layout[i].label);
      for (char& ch : name) ch = static_cast<char>(std::tolower(ch));
      if (layout[i].ch != 0 || layout[i].kind == KeyKind::modifier || !KeyNameTable.contains(name))
        continue;
      EXPECT_EQ(layout[i].vk, KeyNameTable.at(name)) << name;
    }
  }
}

// The phone pad's groups: a header, then members that span its 192 pixels in the row below,
// selected by one to n taps, the header by n + 1.
TEST_F(LayoutTablesTest, PhonepadMembersSpanTheirHeaderAndCountTheTaps) {
  int groups = 0;
  for (const LayoutKey* header = &phonepadLayout[1]; header->width == 192; ++groups) {
    const std::string_view taps = header->sequence;
    double x = header->x;
    for (std::size_t j = 1; j < taps.size(); ++j) {
      EXPECT_EQ(header[j].sequence, taps.substr(0, j));
      EXPECT_EQ(header[j].y, header->y + 28);
      EXPECT_EQ(header[j].x, x);
      x += header[j].width;
    }
    EXPECT_EQ(x, header->x + 192);
    header += taps.size();
  }
  EXPECT_EQ(groups, 12);
}

}  // namespace
}  // namespace bk
