#include "app/button_dispatch.h"

#include <gtest/gtest.h>

#include <map>

namespace bk {
namespace {

using Kind = ButtonMeaning::Kind;

// Each media button's usage on the Consumer Control collection, each vendor button's number on
// the vendor collection; no other code is a button.
TEST(ClassifyButtonTest, FindsTheButtonOfACode) {
  const std::map<std::uint16_t, std::string_view> kMedia = {
      {0x40, "menu"},   {0x8D, "guide"}, {0x9C, "channelup"}, {0x9D, "channeldown"},
      {0xB0, "play"},   {0xB1, "pause"}, {0xB2, "record"},    {0xB3, "fastforward"},
      {0xB4, "rewind"}, {0xB5, "next"},  {0xB6, "previous"},  {0xB7, "stop"},
      {0x209, "info"},  {0x224, "back"}, {0x22F, "zoom"},     {0x230, "fullscreen"}};
  for (const auto& [usage, name] : kMedia) {
    EXPECT_EQ(ClassifyButton(0x0000000C00010000 | usage), (ButtonMeaning{Kind::Media, name, 0}));
  }
  for (std::uint8_t number : {0x00, 0x01, 0x02, 0x06, 0x07, 0x08, 0x09}) {
    EXPECT_EQ(ClassifyButton(0x0000FFAA00880000 | number),
              (ButtonMeaning{Kind::Vendor, {}, number}));
  }
  // The Consumer Control release; Back from the collection with usage 0x0080; a vendor code with
  // bits 15-8 set; the other vendor page.
  for (ButtonCode code :
       {0x0000000C00010000, 0x0000000C00800224, 0x0000FFAA00880102, 0x0000FFBC00880002}) {
    EXPECT_EQ(ClassifyButton(code), ButtonMeaning{}) << std::hex << code;
  }
}

}  // namespace
}  // namespace bk
