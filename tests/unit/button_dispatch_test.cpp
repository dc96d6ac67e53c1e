#include "app/button_dispatch.h"

#include <gtest/gtest.h>

namespace bk {
namespace {

using Kind = ButtonMeaning::Kind;

struct DispatchCase {
  ButtonCode code;
  ButtonMeaning meaning;
};

class ClassifyButtonTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(ClassifyButtonTest, FindsTheButtonOfACode) {
  const DispatchCase& c = GetParam();
  EXPECT_EQ(ClassifyButton(c.code), c.meaning) << std::hex << c.code;
}

ButtonMeaning Media(std::string_view name) {
  return {Kind::Media, name, 0};
}
ButtonMeaning Vendor(std::uint8_t number) {
  return {Kind::Vendor, {}, number};
}
const ButtonMeaning kNothing{};

INSTANTIATE_TEST_SUITE_P(MediaButtons, ClassifyButtonTest,
                         ::testing::Values(DispatchCase{0x0000000C00010040, Media("menu")},
                                           DispatchCase{0x0000000C0001008D, Media("guide")},
                                           DispatchCase{0x0000000C0001009C, Media("channelup")},
                                           DispatchCase{0x0000000C0001009D, Media("channeldown")},
                                           DispatchCase{0x0000000C000100B0, Media("play")},
                                           DispatchCase{0x0000000C000100B1, Media("pause")},
                                           DispatchCase{0x0000000C000100B2, Media("record")},
                                           DispatchCase{0x0000000C000100B3, Media("fastforward")},
                                           DispatchCase{0x0000000C000100B4, Media("rewind")},
                                           DispatchCase{0x0000000C000100B5, Media("next")},
                                           DispatchCase{0x0000000C000100B6, Media("previous")},
                                           DispatchCase{0x0000000C000100B7, Media("stop")},
                                           DispatchCase{0x0000000C00010209, Media("info")},
                                           DispatchCase{0x0000000C00010224, Media("back")},
                                           DispatchCase{0x0000000C0001022F, Media("zoom")},
                                           DispatchCase{0x0000000C00010230, Media("fullscreen")}));

INSTANTIATE_TEST_SUITE_P(VendorButtons, ClassifyButtonTest,
                         ::testing::Values(DispatchCase{0x0000FFAA00880000, Vendor(0x00)},
                                           DispatchCase{0x0000FFAA00880001, Vendor(0x01)},
                                           DispatchCase{0x0000FFAA00880002, Vendor(0x02)},
                                           DispatchCase{0x0000FFAA00880006, Vendor(0x06)},
                                           DispatchCase{0x0000FFAA00880007, Vendor(0x07)},
                                           DispatchCase{0x0000FFAA00880008, Vendor(0x08)},
                                           DispatchCase{0x0000FFAA00880009, Vendor(0x09)}));

INSTANTIATE_TEST_SUITE_P(
    CodesThatDoNothing, ClassifyButtonTest,
    ::testing::Values(DispatchCase{0x0000000C00010000, kNothing},  // Consumer release
                      DispatchCase{0x0000000C00800224, kNothing},  // Back from usage 0x0080
                      DispatchCase{0x0000000C000100B8, kNothing},  // not in the table
                      DispatchCase{0x0000FFAA00880003, kNothing},
                      DispatchCase{0x0000FFAA00880004, kNothing},
                      DispatchCase{0x0000FFAA00880005, kNothing},
                      DispatchCase{0x0000FFAA0088000A, kNothing},
                      DispatchCase{0x0000FFAA00880102, kNothing},  // bits 15-8 set
                      DispatchCase{0x0000FFBC00880002, kNothing},  // the other vendor page
                      DispatchCase{0x0000FFBC00880000, kNothing},
                      DispatchCase{0x0001000C000100B0, kNothing},  // high bits set
                      DispatchCase{0x000000000000000, kNothing}));

}  // namespace
}  // namespace bk
