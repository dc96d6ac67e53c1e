#include "bindings/key_names.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

class KeyNameTableTest : public fake::BkTest {};

// The ends of each run of names, and a name of each kind, with its key on a US English layout.
TEST_F(KeyNameTableTest, HoldsTheNinetyThreeNamesWithTheirKeys) {
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable.size(), 93u);
  const KeyNameMap some = {{"num0", 96},  {"num9", 105}, {"f1", 112},  {"f12", 123},
                           {"ctrl", 162}, {"a", 'A'},    {"\\", 0xDC}, {"plus", 0x1BB}};
  for (const auto& [name, key] : some) EXPECT_EQ(KeyNameTable.at(name), key) << name;
  // Letters and punctuation come from the layout: Y and Z swapped as on a German keyboard.
  fake.layout = {{'z', 'Y'}, {'y', 'Z'}, {'+', 0xBB}};
  BuildKeyNameTable();
  EXPECT_EQ(KeyNameTable.at("z"), 'Y');
  EXPECT_EQ(KeyNameTable.at("plus"), 0xBB);
}

}  // namespace
}  // namespace bk
