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
  static const std::map<int, std::string> kNames = {
      {vk::LShift, "LS"},    {vk::RShift, "RS"}, {vk::LControl, "LC"}, {vk::LMenu, "LA"},
      {vk::Capital, "Caps"}, {vk::Left, "Left"}, {0xBB, "="},          {0xFF, "none"}};
  std::string text;
  for (const auto& call : fake.calls) {
    text += text.empty() ? "" : " |";
    for (const KeyInput& e : call) {
      EXPECT_EQ(e.scan, 0x100 + e.vk);
      EXPECT_EQ(e.extraInfo, kOwnInputMarker);
      const bool extended = (e.flags & kKeyEventExtended) != 0;
      text += ((e.flags & kKeyEventKeyUp) != 0 ? " -" : " +") +
              (kNames.count(e.vk) ? kNames.at(e.vk) : std::string(1, char(e.vk))) +
              (extended ? "*" : "");
    }
  }
  return text;
}

constexpr KeyValue kAltGrQ = kCtrlBit | kAltBit | 'Q';  // "@" on a German keyboard

struct TypeKeyCase {
  const char* what;
  KeyValue key;
  bool capsSensitive;
  bool capsOn;
  const char* userHolds;  // L, R: the user holds the left or right Shift key
  const char* sent;
};

void PrintTo(const TypeKeyCase& c, std::ostream* out) {
  *out << c.what;
}

class TypeKeyTest : public fake::BkTest, public ::testing::WithParamInterface<TypeKeyCase> {};

TEST_P(TypeKeyTest, SendsTheKeystrokeWithShiftMadeRightInOneCall) {
  const TypeKeyCase& c = GetParam();
  capsOn = c.capsOn;
  const std::string holds = c.userHolds;
  if (holds.find('L') != std::string::npos) fake.Input(vk::LShift, true);
  if (holds.find('R') != std::string::npos) fake.Input(vk::RShift, true);
  TypeKey(c.key, c.capsSensitive);
  EXPECT_EQ(Calls(fake), c.sent);
  // The user's Shift keys are as they were.
  EXPECT_EQ(fake.down[vk::LShift], holds.find('L') != std::string::npos);
  EXPECT_EQ(fake.down[vk::RShift], holds.find('R') != std::string::npos);
  fake.Input(vk::LShift, false);
  fake.Input(vk::RShift, false);
}

constexpr KeyValue kA = 'A', kUpperA = kShiftBit | 'A';

INSTANTIATE_TEST_SUITE_P(
    ShiftModes, TypeKeyTest,
    ::testing::Values(
        TypeKeyCase{"lower, no Shift", kA, false, false, "", " +A -A"},
        TypeKeyCase{"upper, right Shift held", kUpperA, true, false, "R", " +A -A"},
        TypeKeyCase{"upper, no Shift", kUpperA, false, false, "", " +LS +A -A -LS"},
        TypeKeyCase{"lower, left Shift held", kA, false, false, "L", " -LS +A -A +LS"},
        TypeKeyCase{"lower, both held", kA, true, false, "LR", " -LS -RS +A -A +LS +RS"},
        // Caps Lock latched: a caps-sensitive key counts Shift the other way round.
        TypeKeyCase{"caps: lower, no Shift", kA, true, true, "", " +A -A"},
        TypeKeyCase{"caps: lower, left Shift held", kA, true, true, "L", " +A -A"},
        TypeKeyCase{"caps: upper, right Shift held", kUpperA, true, true, "R", " +LS +A -A -LS"},
        TypeKeyCase{"caps, not caps-sensitive: upper", kUpperA, false, true, "", " +LS +A -A -LS"},
        // AltGr: left Ctrl and left Alt around the key, inside any Shift events.
        TypeKeyCase{"AltGr", kAltGrQ, false, false, "", " +LC +LA +Q -Q -LA -LC"},
        TypeKeyCase{"AltGr with Shift", kAltGrQ | kShiftBit, false, false, "",
                    " +LS +LC +LA +Q -Q -LA -LC -LS"},
        TypeKeyCase{"AltGr, right Shift held", kAltGrQ, false, false, "R",
                    " -RS +LC +LA +Q -Q -LA -LC +RS"},
        TypeKeyCase{"Ctrl or Alt alone are ignored", kCtrlBit | 'M', false, false, "", " +M -M"},
        TypeKeyCase{"Caps Lock is an extended key", vk::Capital, false, false, "",
                    " +Caps* -Caps*"},
        TypeKeyCase{"an arrow is not", vk::Left, false, false, "", " +Left -Left"},
        TypeKeyCase{"a character without a key sends nothing", kNoKey, true, false, "", ""}));

class KeyInjectionTest : public fake::BkTest {};

TEST_F(KeyInjectionTest, SendKeyEventSendsTheLowByteAloneInOneCall) {
  for (KeyValue key :
       {KeyValue{0x1BB}, kAltGrQ, kNoKey, KeyValue{vk::Capital}, KeyValue{vk::Left}}) {
    SendKeyEvent(true, key);
    SendKeyEvent(false, key);
  }
  EXPECT_EQ(Calls(fake), " += | -= | +Q | -Q | +none | -none | +Caps* | -Caps* | +Left | -Left");
}

// The hook leaves the chain for every SendInput and comes back under a new handle; without a
// hook none is installed. The fixture's teardown checks that SendInput never met the hook.
TEST_F(KeyInjectionTest, EveryPrimitiveTakesTheHookOutAndPutsItBack) {
  SendKeyEvent(true, 'X');
  TypeKey(kA, false);
  EXPECT_EQ(fake.hook, 0u);
  keyboardHook = fake.Install();
  for (int primitive = 0; primitive < 3; ++primitive) {
    const HookHandle before = keyboardHook;
    primitive == 0 ? SendKeyEvent(false, 'X') : TypeKey(primitive == 1 ? kUpperA : kNoKey, false);
    EXPECT_EQ(keyboardHook, fake.hook);
    EXPECT_EQ(keyboardHook != before, primitive < 2) << "typing nothing leaves the hook alone";
  }
  fake.failInstall = true;
  TypeKey(kA, false);
  EXPECT_EQ(keyboardHook, 0u) << "a hook that cannot be installed again leaves no handle";
}

// SendBinding against a foreground application with a real binding file.
class SendBindingTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.Dir();
    fake.AddWindow({.process = 42});
    fake.images[42] = "\\Device\\HarddiskVolume3\\Program Files\\App\\app.exe";
  }
  fake::TempFolder folder;
};

// One call per event; no binding, or no file for the foreground application, sends nothing.
TEST_F(SendBindingTest, SendsTheForegroundApplicationsChordInFileOrderReleasedInReverse) {
  folder.Write("appbindings\\app.exe.cfg",
               "play=ctrl+shift+n\nstop=alt+x+alt\nnext=\ninfo=foo\n# pause=p\n");
  const WindowId app = fake.foreground;
  const WindowId other = fake.AddWindow({.process = 43});
  fake.images[43] = "\\Device\\HarddiskVolume3\\Other\\other.exe";
  for (const char* name : {"next", "info", "pause", "back", "Play", ""}) SendBinding(name);
  SendBinding("play");
  SendBinding("stop");
  for (WindowId front : {other, WindowId{0}, app}) {
    fake.MakeForeground(front);
    SendBinding("play");
  }
  EXPECT_EQ(Calls(fake),
            " +LC | +LS | +N | -N | -LS | -LC | +LA | +X | +LA | -LA | -X | -LA"
            " | +LC | +LS | +N | -N | -LS | -LC");
}

}  // namespace
}  // namespace bk
