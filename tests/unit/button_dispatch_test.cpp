#include "app/button_dispatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace bk {
namespace {

using Kind = ButtonMeaning::Kind;

// Of every value up to 0x3FF on each collection, the buttons: each media button's usage on the
// Consumer Control collection, each vendor button's number on the vendor collection. Not the
// Consumer Control release, nor Back from the collection with usage 0x0080, nor a vendor code with
// bits 15-8 set, nor the other vendor page.
TEST(ClassifyButtonTest, FindsTheButtonOfACode) {
  std::string buttons;
  for (ButtonCode collection : {0x000C0001ULL, 0x000C0080ULL, 0xFFAA0088ULL, 0xFFBC0088ULL}) {
    for (ButtonCode value = 0; value < 0x400; ++value) {
      const ButtonMeaning meaning = ClassifyButton(collection << 16 | value);
      char text[32] = "";
      if (meaning.kind == Kind::Media) std::snprintf(text, sizeof text, " %X:", unsigned(value));
      if (meaning.kind == Kind::Vendor) std::snprintf(text, sizeof text, " v%d", meaning.number);
      buttons += text + std::string(meaning.name);
    }
  }
  EXPECT_EQ(buttons,
            " 40:menu 8D:guide 9C:channelup 9D:channeldown B0:play B1:pause B2:record "
            "B3:fastforward B4:rewind B5:next B6:previous B7:stop 209:info 224:back 22F:zoom "
            "230:fullscreen v0 v1 v2 v6 v7 v8 v9");
}

}  // namespace
}  // namespace bk
