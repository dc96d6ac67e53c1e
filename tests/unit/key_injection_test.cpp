#include "bindings/key_injection.h"
#include "osd/text_entry.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "app/program_state.h"
#include "bindings/binding_file.h"
#include "bindings/foreground_tracking.h"
#include "bindings/key_names.h"
#include "fake/binding_folder.h"
#include "fake/bk_test.h"

namespace bk {
namespace {

// One event as a test expects it: the key, and whether it goes down.
struct Stroke {
  std::uint8_t vk;
  bool down;
};
constexpr Stroke Down(std::uint8_t vk) {
  return {vk, true};
}
constexpr Stroke Up(std::uint8_t vk) {
  return {vk, false};
}

// The record that every primitive must build for a stroke on the fake keyboard.
KeyInput Expected(fake::FakeKeyboard& keyboard, Stroke stroke) {
  KeyInput event;
  event.vk = stroke.vk;
  event.scan = keyboard.ScanCode(stroke.vk);
  event.flags =
      (stroke.vk == vk::Capital ? kKeyEventExtended : 0u) | (stroke.down ? 0u : kKeyEventKeyUp);
  event.extraInfo = kOwnInputMarker;
  return event;
}

std::vector<KeyInput> ExpectedEvents(fake::FakeKeyboard& keyboard,
                                     const std::vector<Stroke>& strokes) {
  std::vector<KeyInput> events;
  for (const Stroke& stroke : strokes) events.push_back(Expected(keyboard, stroke));
  return events;
}

constexpr std::uint8_t kA = 'A', kLS = vk::LShift, kRS = vk::RShift, kLC = vk::LControl,
                       kLA = vk::LMenu;
constexpr KeyValue kLowerA = 'A', kUpperA = kShiftBit | 'A';
// "@" on a German layout: AltGr (reported as Ctrl+Alt) and Q.
constexpr KeyValue kAltGrQ = kCtrlBit | kAltBit | 'Q';

struct TypeKeyCase {
  const char* what;
  KeyValue key;
  bool capsSensitive;
  bool capsOn;
  bool leftHeld;
  bool rightHeld;
  std::vector<Stroke> strokes;
};

void PrintTo(const TypeKeyCase& c, std::ostream* out) {
  *out << c.what;
}

class TypeKeyTest : public fake::BkTest, public ::testing::WithParamInterface<TypeKeyCase> {};

TEST_P(TypeKeyTest, SendsTheKeystrokeWithShiftMadeRightInOneCall) {
  const TypeKeyCase& c = GetParam();
  capsOn = c.capsOn;
  fake.keyboard.UserPress(kLS, c.leftHeld);
  fake.keyboard.UserPress(kRS, c.rightHeld);
  TypeKey(c.key, c.capsSensitive);
  ASSERT_EQ(fake.keyboard.Calls().size(), 1u);
  EXPECT_EQ(fake.keyboard.Calls()[0], ExpectedEvents(fake.keyboard, c.strokes));
  // The user's Shift keys are as they were; the program holds nothing.
  EXPECT_EQ(fake.keyboard.IsDown(kLS), c.leftHeld);
  EXPECT_EQ(fake.keyboard.IsDown(kRS), c.rightHeld);
  fake.keyboard.UserPress(kLS, false);
  fake.keyboard.UserPress(kRS, false);
}

INSTANTIATE_TEST_SUITE_P(
    ShiftModes, TypeKeyTest,
    ::testing::Values(
        // none: Shift already matches.
        TypeKeyCase{"lower, no Shift", kLowerA, false, false, false, false, {Down(kA), Up(kA)}},
        TypeKeyCase{
            "upper, left Shift held", kUpperA, false, false, true, false, {Down(kA), Up(kA)}},
        TypeKeyCase{
            "upper, right Shift held", kUpperA, true, false, false, true, {Down(kA), Up(kA)}},
        // add: left Shift around the key.
        TypeKeyCase{"upper, no Shift",
                    kUpperA,
                    false,
                    false,
                    false,
                    false,
                    {Down(kLS), Down(kA), Up(kA), Up(kLS)}},
        // lift: the held Shift keys up around the key, then down again.
        TypeKeyCase{"lower, left Shift held",
                    kLowerA,
                    false,
                    false,
                    true,
                    false,
                    {Up(kLS), Down(kA), Up(kA), Down(kLS)}},
        TypeKeyCase{"lower, right Shift held",
                    kLowerA,
                    false,
                    false,
                    false,
                    true,
                    {Up(kRS), Down(kA), Up(kA), Down(kRS)}},
        TypeKeyCase{"lower, both Shifts held",
                    kLowerA,
                    true,
                    false,
                    true,
                    true,
                    {Up(kLS), Up(kRS), Down(kA), Up(kA), Down(kLS), Down(kRS)}},
        // Caps Lock latched: a caps-sensitive key counts Shift the other way round.
        TypeKeyCase{"caps: upper, no Shift", kUpperA, true, true, false, false, {Down(kA), Up(kA)}},
        TypeKeyCase{"caps: lower, no Shift: lift with nothing to lift",
                    kLowerA,
                    true,
                    true,
                    false,
                    false,
                    {Down(kA), Up(kA)}},
        TypeKeyCase{
            "caps: lower, left Shift held", kLowerA, true, true, true, false, {Down(kA), Up(kA)}},
        TypeKeyCase{"caps: upper, right Shift held",
                    kUpperA,
                    true,
                    true,
                    false,
                    true,
                    {Down(kLS), Down(kA), Up(kA), Up(kLS)}},
        TypeKeyCase{"caps, not caps-sensitive: upper",
                    kUpperA,
                    false,
                    true,
                    false,
                    false,
                    {Down(kLS), Down(kA), Up(kA), Up(kLS)}},
        TypeKeyCase{"caps, not caps-sensitive: lower, left held",
                    kLowerA,
                    false,
                    true,
                    true,
                    false,
                    {Up(kLS), Down(kA), Up(kA), Down(kLS)}},
        // AltGr: left Ctrl and left Alt around the key, inside any Shift events.
        TypeKeyCase{"AltGr",
                    kAltGrQ,
                    false,
                    false,
                    false,
                    false,
                    {Down(kLC), Down(kLA), Down('Q'), Up('Q'), Up(kLA), Up(kLC)}},
        TypeKeyCase{
            "AltGr with Shift",
            static_cast<KeyValue>(kAltGrQ | kShiftBit),
            false,
            false,
            false,
            false,
            {Down(kLS), Down(kLC), Down(kLA), Down('Q'), Up('Q'), Up(kLA), Up(kLC), Up(kLS)}},
        TypeKeyCase{
            "AltGr, right Shift held",
            kAltGrQ,
            false,
            false,
            false,
            true,
            {Up(kRS), Down(kLC), Down(kLA), Down('Q'), Up('Q'), Up(kLA), Up(kLC), Down(kRS)}},
        // Only Shift and the Ctrl+Alt pair are read: Ctrl or Alt alone are ignored.
        TypeKeyCase{
            "Ctrl bit alone", kCtrlBit | 'M', false, false, false, false, {Down('M'), Up('M')}},
        TypeKeyCase{
            "Alt bit alone", kAltBit | 'M', false, false, false, false, {Down('M'), Up('M')}},
        TypeKeyCase{"Caps Lock is an extended key",
                    vk::Capital,
                    false,
                    false,
                    false,
                    false,
                    {Down(vk::Capital), Up(vk::Capital)}}));

class KeyInjectionTest : public fake::BkTest {};

TEST_F(KeyInjectionTest, TypeKeySendsNothingForACharacterWithoutAKey) {
  const HookHandle hook = keyboardHook = fake.hook.Install();
  TypeKey(kNoKey, false);
  TypeKey(kNoKey, true);
  EXPECT_TRUE(fake.keyboard.Calls().empty());
  EXPECT_EQ(keyboardHook, hook);
}

TEST_F(KeyInjectionTest, SendKeyEventSendsTheLowByteAloneInOneCall) {
  SendKeyEvent(true, 0x1BB);  // "plus": the Shift bit is not sent
  SendKeyEvent(false, 0x1BB);
  SendKeyEvent(true, kAltGrQ);
  SendKeyEvent(false, kAltGrQ);
  SendKeyEvent(true, kNoKey);  // a name the layout lacks sends key 255
  SendKeyEvent(false, kNoKey);
  SendKeyEvent(true, vk::Capital);
  SendKeyEvent(false, vk::Capital);
  const std::vector<Stroke> strokes = {Down(0xBB), Up(0xBB), Down('Q'),         Up('Q'),
                                       Down(0xFF), Up(0xFF), Down(vk::Capital), Up(vk::Capital)};
  ASSERT_EQ(fake.keyboard.Calls().size(), strokes.size());
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    EXPECT_EQ(fake.keyboard.Calls()[i], ExpectedEvents(fake.keyboard, {strokes[i]})) << i;
  }
  EXPECT_FALSE(fake.keyboard.IsDown(vk::Shift));
}

// The hook leaves the chain for every SendInput and comes back under a new handle; without a
// hook none is installed. The fixture's teardown checks that SendInput never met the hook.
TEST_F(KeyInjectionTest, EveryPrimitiveTakesTheHookOutAndPutsItBack) {
  const std::vector<std::function<void()>> primitives = {
      [] { SendKeyEvent(true, 'X'); },
      [] { SendKeyEvent(false, 'X'); },
      [] { TypeKey(kUpperA, false); },
      [] { TypeKey(kLowerA, true); },
  };
  for (const auto& send : primitives) send();
  EXPECT_EQ(fake.hook.InstallCount(), 0) << "no hook was installed, so none may appear";
  EXPECT_EQ(keyboardHook, 0u);

  HookHandle previous = keyboardHook = fake.hook.Install();
  for (const auto& send : primitives) {
    send();
    EXPECT_TRUE(fake.hook.Installed());
    EXPECT_EQ(keyboardHook, fake.hook.Handle());
    EXPECT_NE(keyboardHook, previous);
    previous = keyboardHook;
  }
  EXPECT_EQ(fake.keyboard.Calls().size(), 2 * primitives.size());
}

TEST_F(KeyInjectionTest, AHookThatCannotBeInstalledAgainLeavesNoHandle) {
  keyboardHook = fake.hook.Install();
  fake.hook.failInstall = true;
  TypeKey(kLowerA, false);
  EXPECT_EQ(keyboardHook, 0u);
  EXPECT_FALSE(fake.hook.Installed());
}

// SendBinding against a foreground application with a real binding file.
class SendBindingTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    BuildKeyNameTable();
    programDir = folder.ProgramDir();
    fake.AddApp(0x10, 42, "\\Device\\HarddiskVolume3\\Program Files\\App\\app.exe");
    fake.desktop.MakeForeground(0x10);
  }
  fake::BindingFolder folder;
};

TEST_F(SendBindingTest, AChordOfCtrlShiftNIsSixCallsPressedInOrderReleasedInReverse) {
  folder.Write("app.exe", "play=ctrl+shift+n\n");
  SendBinding("play");
  const std::vector<Stroke> strokes = {Down(kLC), Down(kLS), Down('N'), Up('N'), Up(kLS), Up(kLC)};
  ASSERT_EQ(fake.keyboard.Calls().size(), 6u);
  for (std::size_t i = 0; i < strokes.size(); ++i) {
    EXPECT_EQ(fake.keyboard.Calls()[i], ExpectedEvents(fake.keyboard, {strokes[i]})) << i;
  }
}

TEST_F(SendBindingTest, AKeyNamedTwiceIsPressedTwiceAndReleasedTwice) {
  folder.Write("app.exe", "play=alt+x+alt\n");
  SendBinding("play");
  std::vector<std::vector<KeyInput>> expected;
  for (Stroke s : {Down(kLA), Down('X'), Down(kLA), Up(kLA), Up('X'), Up(kLA)}) {
    expected.push_back(ExpectedEvents(fake.keyboard, {s}));
  }
  EXPECT_EQ(fake.keyboard.Calls(), expected);
}

TEST_F(SendBindingTest, SendsNothingWithoutABinding) {
  folder.Write("app.exe", "play=\nstop=foo\n# pause=p\n");
  for (const char* name : {"play", "stop", "pause", "next", "Play", ""}) SendBinding(name);
  folder.Remove("app.exe");
  fake.desktop.MakeForeground(0);  // and with no application at all
  SendBinding("play");
  EXPECT_TRUE(fake.keyboard.Calls().empty());
}

TEST_F(SendBindingTest, FollowsTheForegroundApplication) {
  folder.Write("app.exe", "play=p\n");
  fake.AddApp(0x20, 43, "\\Device\\HarddiskVolume3\\Other\\other.exe");
  SendBinding("play");
  fake.desktop.MakeForeground(0x20);  // no binding file
  SendBinding("play");
  fake.desktop.MakeForeground(0x10);
  SendBinding("play");
  ASSERT_EQ(fake.keyboard.Calls().size(), 4u);
  EXPECT_EQ(fake.keyboard.AllEvents(),
            ExpectedEvents(fake.keyboard, {Down('P'), Up('P'), Down('P'), Up('P')}));
}

TEST_F(SendBindingTest, TheHookIsOutOfTheChainForEveryKeyOfAChord) {
  folder.Write("app.exe", "play=ctrl+shift+n\n");
  keyboardHook = fake.hook.Install();
  SendBinding("play");
  EXPECT_EQ(fake.keyboard.Calls().size(), 6u);
  EXPECT_EQ(fake.hook.InstallCount(), 1 + 6);
  EXPECT_EQ(keyboardHook, fake.hook.Handle());
}

}  // namespace
}  // namespace bk
