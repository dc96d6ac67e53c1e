#include "bindings/key_names.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

class KeyNameTableTest : public fake::BkTest {};

// Every name with its key on a US English layout, written out by hand.
const KeyNameMap kUsTable = {
    {"win", 91},      {"context", 93},    {"shift", 160},      {"ctrl", 162},  {"alt", 164},
    {"enter", 13},    {"numlock", 144},   {"scrolllock", 145}, {"num0", 96},   {"num1", 97},
    {"num2", 98},     {"num3", 99},       {"num4", 100},       {"num5", 101},  {"num6", 102},
    {"num7", 103},    {"num8", 104},      {"num9", 105},       {"f1", 112},    {"f2", 113},
    {"f3", 114},      {"f4", 115},        {"f5", 116},         {"f6", 117},    {"f7", 118},
    {"f8", 119},      {"f9", 120},        {"f10", 121},        {"f11", 122},   {"f12", 123},
    {"backspace", 8}, {"tab", 9},         {"esc", 27},         {"space", 32},  {"up", 38},
    {"down", 40},     {"left", 37},       {"right", 39},       {"pgup", 33},   {"pgdn", 34},
    {"home", 36},     {"end", 35},        {"insert", 45},      {"delete", 46}, {"prtscn", 44},
    {"plus", 0x01BB}, {"equals", 0x00BB}, {"a", 'A'},          {"b", 'B'},     {"c", 'C'},
    {"d", 'D'},       {"e", 'E'},         {"f", 'F'},          {"g", 'G'},     {"h", 'H'},
    {"i", 'I'},       {"j", 'J'},         {"k", 'K'},          {"l", 'L'},     {"m", 'M'},
    {"n", 'N'},       {"o", 'O'},         {"p", 'P'},          {"q", 'Q'},     {"r", 'R'},
    {"s", 'S'},       {"t", 'T'},         {"u", 'U'},          {"v", 'V'},     {"w", 'W'},
    {"x", 'X'},       {"y", 'Y'},         {"z", 'Z'},          {"`", 0xC0},    {",", 0xBC},
    {".", 0xBE},      {"/", 0xBF},        {";", 0xBA},         {"'", 0xDE},    {"[", 0xDB},
    {"]", 0xDD},      {"\\", 0xDC},       {"-", 0xBD},         {"0", '0'},     {"1", '1'},
    {"2", '2'},       {"3", '3'},         {"4", '4'},          {"5", '5'},     {"6", '6'},
    {"7", '7'},       {"8", '8'},         {"9", '9'},
};

TEST_F(KeyNameTableTest, HoldsTheNinetyThreeNamesWithTheirKeys) {
  ASSERT_EQ(kUsTable.size(), 93u);
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable, kUsTable);
  // The modifiers are the left-hand keys, never the side-neutral 16, 17 and 18.
  EXPECT_EQ(KeyNameTable.at("shift"), 160);
  EXPECT_EQ(KeyNameTable.at("ctrl"), 162);
  EXPECT_EQ(KeyNameTable.at("alt"), 164);
  EXPECT_NE(KeyNameTable.at("5"), KeyNameTable.at("num5"));
}

TEST_F(KeyNameTableTest, ABuildAgainRewritesTheSameValuesOverChangedOnes) {
  BuildKeyNameTable();
  KeyNameTable["ctrl"] = 17;
  KeyNameTable["p"] = 0;
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable, kUsTable);
}

TEST_F(KeyNameTableTest, TakesLayoutKeysFromTheLayoutAndKeepsNoKeyAsIs) {
  // A layout without a backquote key, and with Y and Z swapped as on a German keyboard.
  fake.keyboard.OverrideKey('`', kNoKey);
  fake.keyboard.OverrideKey('z', 'Y');
  fake.keyboard.OverrideKey('y', 'Z');
  fake.keyboard.OverrideKey('+', 0x00BB);
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable.size(), 93u);
  EXPECT_EQ(KeyNameTable.at("`"), 0xFFFF);
  EXPECT_EQ(KeyNameTable.at("z"), 'Y');
  EXPECT_EQ(KeyNameTable.at("y"), 'Z');
  EXPECT_EQ(KeyNameTable.at("plus"), 0x00BB);
  EXPECT_EQ(KeyNameTable.at("f5"), 116) << "fixed keys do not depend on the layout";
}

}  // namespace
}  // namespace bk
