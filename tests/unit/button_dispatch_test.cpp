#include "app/button_dispatch.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "bindings/key_injection.h"
#include "bindings/key_names.h"
#include "fake/binding_folder.h"
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

// DispatchButton against an application whose binding file binds every button name to a key
// of its own.
class DispatchButtonTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.ProgramDir();
    fake.AddApp(0x10, 42, "\\Device\\HarddiskVolume3\\App\\app.exe");
    fake.desktop.MakeForeground(0x10);
    std::string file;
    for (std::size_t i = 0; i < std::size(kMediaButtonNames); ++i) {
      file += std::string(kMediaButtonNames[i]) + "=" + KeyOf(i) + "\n";
    }
    folder.Write("app.exe", file);
  }
  // Twelve function keys and four letters: a distinct key for each of the sixteen names.
  static std::string KeyOf(std::size_t index) {
    return index < 12 ? "f" + std::to_string(index + 1) : std::string(1, char('a' + index - 12));
  }
  static std::uint8_t VkOf(std::size_t index) {
    return static_cast<std::uint8_t>(index < 12 ? vk::F1 + index : 'A' + index - 12);
  }
  std::vector<std::uint16_t> SentKeys() const {
    std::vector<std::uint16_t> keys;
    for (const KeyInput& event : fake.keyboard.AllEvents()) keys.push_back(event.vk);
    return keys;
  }
  fake::BindingFolder folder;
};

TEST_F(DispatchButtonTest, EachMediaButtonSendsItsOwnBindingWhileTheLayoutIsDown) {
  constexpr std::uint16_t kUsages[] = {0x0040, 0x008D, 0x009C, 0x009D, 0x00B0, 0x00B1,
                                       0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
                                       0x0209, 0x0224, 0x022F, 0x0230};
  for (std::size_t i = 0; i < std::size(kUsages); ++i) {
    fake.keyboard.ClearCalls();
    DispatchButton(0x0000000C00010000ULL | kUsages[i]);
    EXPECT_EQ(SentKeys(), (std::vector<std::uint16_t>{VkOf(i), VkOf(i)})) << kMediaButtonNames[i];
  }
}

TEST_F(DispatchButtonTest, PlaySendsItsBindingEachTimeAndNothingWhileTheLayoutIsShown) {
  constexpr ButtonCode kPlay = 0x0000000C000100B0;
  DispatchButton(kPlay);
  DispatchButton(kPlay);  // a repeated report sends again
  EXPECT_EQ(fake.keyboard.Calls().size(), 4u);
  layoutShown = true;
  fake.keyboard.ClearCalls();
  DispatchButton(kPlay);
  EXPECT_TRUE(fake.keyboard.Calls().empty());
  EXPECT_EQ(fake.processes.openCount, 1) << "a shown layout does not even look at the foreground";
}

// The window switcher holds the Windows key down for up to four seconds: Play must not arrive as
// Windows with Play's key.
TEST_F(DispatchButtonTest, AMediaButtonEndsTheWindowSwitcherBeforeItsChord) {
  DispatchButton(0x0000FFAA00880006);  // button A
  fake.keyboard.ClearCalls();
  DispatchButton(0x0000000C000100B0);  // Play, bound to F5
  const std::vector<KeyInput> expected = {MakeKeyEvent(vk::LWin, false),
                                          MakeKeyEvent(vk::F1 + 4, true),
                                          MakeKeyEvent(vk::F1 + 4, false)};
  EXPECT_EQ(fake.keyboard.AllEvents(), expected);
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_SWITCHER));
}

TEST_F(DispatchButtonTest, OtherCodesDoNothingInEitherMode) {
  constexpr ButtonCode kCodes[] = {
      0x0000000C00010000,  // Consumer Control release
      0x0000000C00800224,  // Back, but from the collection with usage 0x0080
      0x0000000C00800000,  // that collection's release
      0x0000000C000100B8,  // a Consumer usage not in the table
      0x0000FFAA00880000,  // the vendor release, with no INPUT press waiting
      0x0000FFAA00880003, 0x0000FFAA00880102, 0x0000FFBC00880002,
  };
  for (bool shown : {false, true}) {
    layoutShown = shown;
    for (ButtonCode code : kCodes) DispatchButton(code);
  }
  EXPECT_TRUE(fake.keyboard.Calls().empty());
  EXPECT_EQ(fake.processes.openCount, 0);
}

}  // namespace
}  // namespace bk
