#include "bindings/key_injection.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"
#include "osd/text_entry.h"
#include "state/program_state.h"

namespace bk {
namespace {

// Each SendInput call as "+key" and "-key" events, "*" marking an extended one; every event must
// carry the scan code and the program's marker.
std::string Calls(const fake::FakeOs& fake) {
  static const std::map<int, std::string> kNames = {{vk::LShift, "LS"},    {vk::RShift, "RS"},
                                                    {vk::LControl, "LC"},  {vk::LMenu, "LA"},
                                                    {vk::Capital, "Caps"}, {vk::Left, "Left"}};
  std::string text;
  for (const auto& call : fake.calls) {
    text += text.empty() ? "" : " |";
    for (const KeyInput& e : call) {
      EXPECT_EQ(e.scan, 0x100 + e.vk);
      EXPECT_EQ(e.extraInfo, kOwnInputMarker);
      text += ((e.flags & kKeyEventKeyUp) != 0 ? " -" : " +") +
              (kNames.count(e.vk) ? kNames.at(e.vk) : std::string(1, char(e.vk))) +
              ((e.flags & kKeyEventExtended) != 0 ? "*" : "");
    }
  }
  return text;
}

struct TypeKeyCase {
  const char* what;
  KeyValue key;
  bool capsSensitive, capsOn;
  const char* userHolds;  // L, R: the user holds the left or right Shift key
  const char* sent;
};

class TypeKeyTest : public fake::BkTest, public ::testing::WithParamInterface<TypeKeyCase> {};

// The user's Shift keys are let go around the keystroke and pressed again after it.
TEST_P(TypeKeyTest, SendsTheKeystrokeWithShiftMadeRightInOneCall) {
  const TypeKeyCase& c = GetParam();
  capsOn = c.capsOn;
  for (char side : std::string(c.userHolds))
    fake.Input(side == 'L' ? vk::LShift : vk::RShift, true);
  TypeKey(c.key, c.capsSensitive);
  EXPECT_EQ(Calls(fake), c.sent) << c.what;
}

constexpr KeyValue kA = 'A', kUpperA = kShiftBit | 'A', kAltGrQ = kCtrlBit | kAltBit | 'Q';

INSTANTIATE_TEST_SUITE_P(
    ShiftModes, TypeKeyTest,
    ::testing::Values(
        // Caps Lock off: a caps-sensitive key is shifted as it is.
        TypeKeyCase{"upper, no Shift", kUpperA, true, false, "", " +LS +A -A -LS"},
        TypeKeyCase{"lower, left Shift held", kA, false, false, "L", " -LS +A -A +LS"},
        // Caps Lock latched: a caps-sensitive key counts Shift the other way round.
        TypeKeyCase{"caps: lower, left Shift held", kA, true, true, "L", " +A -A"},
        // AltGr: left Ctrl and left Alt around the key, inside any Shift events.
        TypeKeyCase{"AltGr, right Shift held", kAltGrQ, false, false, "R",
                    " -RS +LC +LA +Q -Q -LA -LC +RS"},
        TypeKeyCase{"Ctrl or Alt alone are ignored", kCtrlBit | 'M', false, false, "", " +M -M"},
        TypeKeyCase{"Caps Lock goes out unmarked, as a keyboard sends it", vk::Capital, false,
                    false, "", " +Caps -Caps"},
        TypeKeyCase{"a character without a key sends nothing", kNoKey, true, false, "", ""}));

// Without the flag the navigation keys arrive as the number pad's keys, whose scan codes they
// share.
TEST(ExtendedKeyTest, AreTheKeysThatAKeyboardMarks) {
  std::string marked;
  for (int vk = 0; vk < 256; ++vk) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", vk);
    if (IsExtendedKey(static_cast<std::uint8_t>(vk))) marked += std::string(" ") + hex;
  }
  EXPECT_EQ(marked, " 21 22 23 24 25 26 27 28 2C 2D 2E 5B 5C 5D 6F 90 A3 A5");
}

}  // namespace
}  // namespace bk
