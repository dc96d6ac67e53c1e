#include "app/button_dispatch.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

using Kind = ButtonMeaning::Kind;

struct DispatchCase {
  ButtonCode code;
  ButtonMeaning meaning;
};

class ClassifyButtonTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(ClassifyButtonTest, FindsTheButtonOfACode) {
  EXPECT_EQ(ClassifyButton(GetParam().code), GetParam().meaning) << std::hex << GetParam().code;
}

DispatchCase Media(std::uint16_t usage, std::string_view name) {
  return {0x0000000C00010000ULL | usage, {Kind::Media, name, 0}};
}
DispatchCase Vendor(std::uint8_t number) {
  return {0x0000FFAA00880000ULL | number, {Kind::Vendor, {}, number}};
}
DispatchCase Nothing(ButtonCode code) {
  return {code, {}};
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ClassifyButtonTest,
    ::testing::Values(
        Media(0x40, "menu"), Media(0x8D, "guide"), Media(0x9C, "channelup"),
        Media(0x9D, "channeldown"), Media(0xB0, "play"), Media(0xB1, "pause"),
        Media(0xB2, "record"), Media(0xB3, "fastforward"), Media(0xB4, "rewind"),
        Media(0xB5, "next"), Media(0xB6, "previous"), Media(0xB7, "stop"), Media(0x209, "info"),
        Media(0x224, "back"), Media(0x22F, "zoom"), Media(0x230, "fullscreen"), Vendor(0x00),
        Vendor(0x01), Vendor(0x02), Vendor(0x06), Vendor(0x07), Vendor(0x08), Vendor(0x09),
        Nothing(0x0000000C00010000),    // the Consumer Control release
        Nothing(0x0000000C00800224),    // Back, but from the collection with usage 0x0080
        Nothing(0x0000FFAA00880102),    // bits 15-8 set
        Nothing(0x0000FFBC00880002)));  // the other vendor page

}  // namespace
}  // namespace bk
