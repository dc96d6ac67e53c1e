#include "bindings/key_names.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

class KeyNameTableTest : public fake::BkTest {};

// Every name with its key on a US English layout, written out by hand.
TEST_F(KeyNameTableTest, HoldsTheNinetyThreeNamesWithTheirKeys) {
  KeyNameMap expected = {
      {"win", 91},    {"context", 93},  {"shift", 160},      {"ctrl", 162},    {"alt", 164},
      {"enter", 13},  {"numlock", 144}, {"scrolllock", 145}, {"backspace", 8}, {"tab", 9},
      {"esc", 27},    {"space", 32},    {"up", 38},          {"down", 40},     {"left", 37},
      {"right", 39},  {"pgup", 33},     {"pgdn", 34},        {"home", 36},     {"end", 35},
      {"insert", 45}, {"delete", 46},   {"prtscn", 44},      {"plus", 0x1BB},  {"equals", 0xBB},
      {"`", 0xC0},    {",", 0xBC},      {".", 0xBE},         {"/", 0xBF},      {";", 0xBA},
      {"'", 0xDE},    {"[", 0xDB},      {"]", 0xDD},         {"\\", 0xDC},     {"-", 0xBD}};
  for (int i = 0; i < 10; ++i) {
    expected["num" + std::to_string(i)] = static_cast<KeyValue>(96 + i);
    expected[std::to_string(i)] = static_cast<KeyValue>('0' + i);
  }
  for (int i = 1; i <= 12; ++i) expected["f" + std::to_string(i)] = static_cast<KeyValue>(111 + i);
  for (char ch = 'a'; ch <= 'z'; ++ch)
    expected[std::string(1, ch)] = static_cast<KeyValue>(ch - 32);
  ASSERT_EQ(expected.size(), 93u);
  KeyNameTable["ctrl"] = 17;  // a build writes every value, over whatever was there
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable, expected);
}

TEST_F(KeyNameTableTest, TakesLayoutKeysFromTheLayoutAndKeepsNoKeyAsIs) {
  // A layout without a backquote key, and with Y and Z swapped as on a German keyboard.
  fake.layout = {{'`', kNoKey}, {'z', 'Y'}, {'y', 'Z'}, {'+', 0xBB}};
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable.at("`"), 0xFFFF);
  EXPECT_EQ(KeyNameTable.at("z"), 'Y');
  EXPECT_EQ(KeyNameTable.at("y"), 'Z');
  EXPECT_EQ(KeyNameTable.at("plus"), 0xBB);
}

}  // namespace
}  // namespace bk
