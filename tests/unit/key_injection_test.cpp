#include "bindings/key_injection.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "bindings/key_names.h"
#include "fake/bk_test.h"
#include "osd/text_entry.h"

namespace bk {
namespace {

// Each SendInput call as "+key" and "-key" events, a Caps Lock marked "*" as the extended key it
// is sent as; every event must carry the scan code and the program's marker.
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
        TypeKeyCase{"upper, right Shift held", kUpperA, true, false, "R", " +A -A"},
        TypeKeyCase{"upper, no Shift", kUpperA, false, false, "", " +LS +A -A -LS"},
        TypeKeyCase{"lower, left Shift held", kA, false, false, "L", " -LS +A -A +LS"},
        // Caps Lock latched: a caps-sensitive key counts Shift the other way round.
        TypeKeyCase{"caps: lower, left Shift held", kA, true, true, "L", " +A -A"},
        // AltGr: left Ctrl and left Alt around the key, inside any Shift events.
        TypeKeyCase{"AltGr, right Shift held", kAltGrQ, false, false, "R",
                    " -RS +LC +LA +Q -Q -LA -LC +RS"},
        TypeKeyCase{"Ctrl or Alt alone are ignored", kCtrlBit | 'M', false, false, "", " +M -M"},
        TypeKeyCase{"Caps Lock is an extended key", vk::Capital, false, false, "",
                    " +Caps* -Caps*"},
        TypeKeyCase{"a character without a key sends nothing", kNoKey, true, false, "", ""}));

using KeyInjectionTest = fake::BkTest;

// The foreground application's chord, in file order and released in reverse, a navigation key
// without the extended flag; a name without a binding sends nothing. The hook leaves the chain
// for every SendInput (the fixture's teardown checks it) and comes back under a new handle.
TEST_F(KeyInjectionTest, SendBindingPressesTheChordAndReleasesItInReverse) {
  fake::TempFolder folder;
  folder.Write("appbindings\\app.exe.cfg", "play=ctrl+left\n");
  programDir = folder.Dir();
  BuildKeyNameTable();
  fake.AddWindow({.process = 42});
  fake.images[42] = "\\Device\\App\\app.exe";
  keyboardHook = fake.Install();
  const HookHandle before = keyboardHook;
  SendBinding("stop");
  SendBinding("play");
  EXPECT_EQ(Calls(fake), " +LC | +Left | -Left | -LC");
  EXPECT_NE(keyboardHook, before);
  EXPECT_EQ(keyboardHook, fake.hook);
}

}  // namespace
}  // namespace bk
