#include "osd/osd_window.h"

#include <gtest/gtest.h>

#include "app/program_state.h"
#include "fake/osd_fixture.h"
#include "osd/text_entry.h"

namespace bk {
namespace {

using fake::OsdTest;

int VisibleButtons(fake::FakeLayoutWindow& windows, const LayoutKey* layout) {
  int visible = 0;
  for (int i = 0; layout[i].width != 0; ++i) visible += windows.Visible(layout[i].button);
  return visible;
}

class OsdStartTest : public OsdTest {};

TEST_F(OsdStartTest, LeavesTheWindowHiddenTransparentAndTheKeyboardActive) {
  Start();
  EXPECT_EQ(inputWindow, window);
  EXPECT_EQ(programDir, "C:\\BkRemote\\");
  EXPECT_EQ(Window().exStyle, 0x08080000u);
  EXPECT_EQ(Window().alpha, 0);
  EXPECT_FALSE(fake.desktop.IsVisible(window));
  EXPECT_EQ(activeLayout, keyboardLayout.data());
  EXPECT_EQ(fake.layoutWindow.ChildrenOf(window, "BUTTON").size(), 83u + 91u);
  EXPECT_EQ(keyboardLayout[83].button, 0u) << "the end record gets no button";
  EXPECT_EQ(phonepadLayout[91].button, 0u);

  // The keyboard's buttons are shown (inside the hidden window), the phone pad's are not.
  fake.desktop.Show(window, sw::ShowNoActivate);
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, keyboardLayout.data()), 83);
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, phonepadLayout.data()), 0);
  fake.desktop.Show(window, sw::Hide);

  ASSERT_NE(selectionStrip, 0u);
  const fake::FakeWindow& strip = fake.layoutWindow.At(selectionStrip);
  EXPECT_EQ(strip.className, "STATIC");
  EXPECT_EQ(strip.style, 0x5000000Du);
  EXPECT_EQ(strip.rect, (Rect{25, 10, 775, 35}));
}

TEST_F(OsdStartTest, GivesEveryButtonItsIndexGeometryAndABlackClass) {
  Start();
  for (const LayoutKey* layout : {keyboardLayout.data(), phonepadLayout.data()}) {
    const std::uint32_t style = layout == keyboardLayout.data() ? 0x5000000Bu : 0x4000000Bu;
    for (int i = 0; layout[i].width != 0; ++i) {
      const fake::FakeWindow& button = fake.layoutWindow.At(layout[i].button);
      ASSERT_EQ(button.userData, i);
      EXPECT_EQ(button.className, "BUTTON");
      EXPECT_EQ(button.style, style);
      EXPECT_EQ(fake.layoutWindow.blackClassBackground.count(layout[i].button), 1u);
    }
  }
  // Layout point (0, 0) is window point (15, 15): the close key sits at (779, 5).
  EXPECT_EQ(fake.layoutWindow.At(keyboardLayout[0].button).rect, (Rect{779, 5, 795, 25}));
  EXPECT_EQ(fake.layoutWindow.At(phonepadLayout[90].button).rect, (Rect{617, 227, 785, 283}));
}

TEST_F(OsdStartTest, BuildsTheSequenceMapOfTheKeyboardWithoutResettingAnything) {
  Start();
  EXPECT_EQ(sequenceMap.size(), 83u);
  EXPECT_EQ(sequenceMap.at("2"), 49);
  EXPECT_EQ(sequenceMap.at("-quit-"), 0);
  EXPECT_TRUE(fake.desktop.shows.size() == 83u) << "the first selection hides nothing";
  EXPECT_TRUE(fake.keyboard.Calls().empty());
}

TEST_F(OsdStartTest, CreateBeforeTheWindowIsNamedChangesNothing) {
  OnInputWindowCreate();
  EXPECT_EQ(fake.layoutWindow.topmostCalls, 0);
  EXPECT_TRUE(fake.layoutWindow.moves.empty());
}

// The key values completed from VkKeyScanA when the buttons are made.
struct Derived {
  bool phonepad;
  int index;
  KeyValue vk, shiftVk;
};

void PrintTo(const Derived& d, std::ostream* out) {
  *out << (d.phonepad ? "phonepad " : "keyboard ") << d.index;
}

class DerivedKeyValueTest : public OsdTest, public ::testing::WithParamInterface<Derived> {};

TEST_P(DerivedKeyValueTest, ComesFromTheCharactersOrTheTable) {
  Start();
  const Derived& d = GetParam();
  const LayoutKey& key = (d.phonepad ? phonepadLayout.data() : keyboardLayout.data())[d.index];
  EXPECT_EQ(key.vk, d.vk) << key.label;
  EXPECT_EQ(key.shiftVk, d.shiftVk) << key.label;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DerivedKeyValueTest,
    ::testing::Values(Derived{false, 35, 0x51, 0x151},  // q / Q
                      Derived{false, 21, 0x31, 0x131},  // 1 / !
                      Derived{false, 58, 0xBA, 0x1BA},  // ; / :
                      Derived{false, 59, 0xDE, 0x1DE},  // ' / "
                      Derived{false, 34, 9, 9},         // tab: the table's code
                      Derived{false, 61, 160, 160},     // shift
                      Derived{false, 80, 0, 0},         // @: no key value
                      Derived{true, 14, 0x141, 0x41},   // A / a
                      Derived{true, 38, 0x36, 0x136},   // header 6 types ^ shifted
                      Derived{true, 61, 0x39, 0x139},   // header 9 types ( shifted
                      Derived{true, 71, 0xBE, 0xBC},    // . / ,
                      Derived{true, 76, 32, 32},        // space
                      Derived{true, 90, 20, 20}));      // caps lock

TEST_F(OsdStartTest, KeyValuesFollowTheKeyboardLayoutOfTheSystem) {
  fake.keyboard.OverrideKey('z', 0x59);  // a layout with Y and Z swapped
  fake.keyboard.OverrideKey('Z', 0x159);
  Start();
  EXPECT_EQ(keyboardLayout[62].vk, 0x59);
  EXPECT_EQ(keyboardLayout[62].shiftVk, 0x159);
}

TEST_F(OsdStartTest, ButtonsThatCannotBeMadeAreLeftOut) {
  fake.layoutWindow.childrenBeforeFailure = 10;
  Start();
  EXPECT_NE(keyboardLayout[9].button, 0u);
  EXPECT_EQ(keyboardLayout[10].button, 0u);
  EXPECT_EQ(selectionStrip, 0u);
  EXPECT_EQ(sequenceMap.size(), 83u) << "keys without buttons can still be tapped";
  SelectSequence("2");
  SelectLayout(phonepadLayout.data());
  for (const auto& invalidation : fake.layoutWindow.invalidations) {
    EXPECT_NE(invalidation.window, 0u) << "InvalidateRect(NULL) repaints the whole desktop";
  }
  for (const auto& show : fake.desktop.shows) EXPECT_NE(show.window, 0u);
}

class SelectLayoutTest : public OsdTest {};

TEST_F(SelectLayoutTest, SwapsTheButtonsAndKeysTheLastOfASharedSequence) {
  Start();
  fake.desktop.Show(window, sw::ShowNoActivate);
  SelectLayout(phonepadLayout.data());
  EXPECT_EQ(activeLayout, phonepadLayout.data());
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, phonepadLayout.data()), 91);
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, keyboardLayout.data()), 0);
  EXPECT_EQ(sequenceMap.size(), 90u);
  EXPECT_EQ(phonepadLayout[sequenceMap.at("-none-")].label, "delete");
  EXPECT_TRUE(fake.desktop.IsVisible(window)) << "a switch keeps the layout shown";

  SelectLayout(keyboardLayout.data());
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, keyboardLayout.data()), 83);
  EXPECT_EQ(VisibleButtons(fake.layoutWindow, phonepadLayout.data()), 0);
  EXPECT_EQ(sequenceMap.size(), 83u);
}

TEST_F(SelectLayoutTest, EndsTheSelectionAndLetsLatchedModifiersUp) {
  Start();
  SelectSequence("2");
  SetLatch(61, true, true);  // shift
  ASSERT_TRUE(fake.keyboard.IsDown(vk::LShift));
  SelectLayout(phonepadLayout.data());
  EXPECT_FALSE(fake.keyboard.IsDown(vk::LShift));
  EXPECT_EQ(keyboardLayout[61].latched, 0);
  EXPECT_EQ(keyboardLayout[49].selected, 0);
  EXPECT_EQ(currentSequence, "");
  EXPECT_FALSE(shiftActive);
}

TEST_F(SelectLayoutTest, TheNewLayoutsCapsKeyFollowsTheSystemCapsLock) {
  fake.keyboard.SetCapsLock(true);
  Start();
  EXPECT_EQ(keyboardLayout[48].latched, 1);
  EXPECT_TRUE(capsOn);
  SelectLayout(phonepadLayout.data());
  EXPECT_EQ(phonepadLayout[90].latched, 1);
  EXPECT_TRUE(capsOn);
  EXPECT_TRUE(fake.keyboard.Calls().empty()) << "following the system sends no key";
}

// PlaceOsd: centred on the full-screen area, 5 pixels above its bottom.
struct Placement {
  int cx, cy, width, height;
  Rect expected;
};

void PrintTo(const Placement& p, std::ostream* out) {
  *out << p.width << "x" << p.height << " on " << p.cx << "x" << p.cy;
}

class PlaceOsdTest : public OsdTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlaceOsdTest, BottomCentresTheWindow) {
  const Placement& p = GetParam();
  Start();
  fake.layoutWindow.metrics[kSmCxFullScreen] = p.cx;
  fake.layoutWindow.metrics[kSmCyFullScreen] = p.cy;
  Window().rect = {3, 4, 3 + p.width, 4 + p.height};
  PlaceOsd();
  EXPECT_EQ(Window().rect, p.expected);
}

INSTANTIATE_TEST_SUITE_P(Screens, PlaceOsdTest,
                         ::testing::Values(Placement{1280, 1004, 800, 300, {240, 699, 1040, 999}},
                                           Placement{1024, 738, 800, 300, {112, 433, 912, 733}},
                                           Placement{1365, 741, 800, 300, {282, 436, 1082, 736}},
                                           Placement{1280, 1004, 801, 301, {240, 698, 1041, 999}},
                                           Placement{640, 460, 800, 300, {-80, 155, 720, 455}}));

TEST_F(OsdStartTest, AWindowRectThatCannotBeReadLeavesTheWindowWhereItIs) {
  Start();
  fake.layoutWindow.failWindowRect = true;
  PlaceOsd();
  EXPECT_TRUE(fake.layoutWindow.moves.empty());
}

class FadeTest : public OsdTest {};

TEST_F(FadeTest, ShowingPlacesTheWindowHooksAndFadesInOverElevenSteps) {
  Start();
  SetLayoutVisible(true);
  EXPECT_TRUE(fake.desktop.IsVisible(window));
  EXPECT_EQ(fake.desktop.shows.back().command, sw::ShowNoActivate);
  EXPECT_TRUE(Window().topmost);
  EXPECT_EQ(Window().rect, (Rect{240, 699, 1040, 999}));
  EXPECT_TRUE(layoutShown);
  EXPECT_TRUE(fake.hook.Installed());
  EXPECT_EQ(keyboardHook, fake.hook.Handle());
  ASSERT_TRUE(fake.timers.IsRunning(TIMER_FADE));
  EXPECT_EQ(fake.timers.PeriodOf(TIMER_FADE), 5u);

  fake.layoutWindow.alphasApplied.clear();
  for (int step = 1; step <= 10; ++step) {
    fake.timers.Advance(5);
    EXPECT_EQ(Window().alpha, 25 * step);
    EXPECT_TRUE(Layered());
  }
  fake.timers.Advance(5);
  EXPECT_EQ(fake.layoutWindow.alphasApplied,
            (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}));
  EXPECT_EQ(Window().exStyle, 0x08000000u);
  EXPECT_EQ(fadeAlpha, 255);
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_FADE));
  SetLayoutVisible(false);
}

// Hiding during the fade or after it: the window goes back to layered and transparent.
class HideTest : public OsdTest, public ::testing::WithParamInterface<int> {};

TEST_P(HideTest, ReturnsToLayeredAndTransparentAndUnhooks) {
  Start();
  SetLayoutVisible(true);
  fake.timers.Advance(5 * GetParam());
  const Rect shownAt = Window().rect;
  SetLayoutVisible(false);
  EXPECT_FALSE(fake.desktop.IsVisible(window));
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_FADE));
  EXPECT_EQ(Window().exStyle, 0x08080000u);
  EXPECT_EQ(Window().alpha, 0);
  EXPECT_EQ(fadeAlpha, 0);
  EXPECT_FALSE(layoutShown);
  EXPECT_FALSE(fake.hook.Installed());
  EXPECT_EQ(keyboardHook, 0u);
  const auto& under = fake.layoutWindow.invalidations;
  ASSERT_FALSE(under.empty());
  EXPECT_TRUE(std::any_of(under.begin(), under.end(), [&](const auto& i) {
    return i.window == fake::FakeLayoutWindow::kDesktopWindow && i.rect == shownAt && !i.erase;
  })) << "what lay under the layout is repainted";
}

INSTANTIATE_TEST_SUITE_P(StepsBeforeHiding, HideTest, ::testing::Values(0, 3, 10, 11, 20));

TEST_F(FadeTest, ShowingAgainAfterHidingStartsTheFadeAfresh) {
  Start();
  SetLayoutVisible(true);
  fake.timers.Advance(100);
  SetLayoutVisible(false);
  SetLayoutVisible(true);
  EXPECT_EQ(fadeAlpha, 0);
  EXPECT_EQ(Window().alpha, 0) << "nothing shows before the first step";
  fake.timers.Advance(5);
  EXPECT_EQ(Window().alpha, 25);
  fake.timers.Advance(50);
  EXPECT_EQ(Window().exStyle, 0x08000000u);
  SetLayoutVisible(false);
}

class SyncOsdVisibilityTest : public OsdTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SyncOsdVisibilityTest, WhenNothingChangedOnlyPlacesTheWindow) {
  Start();
  const bool shown = GetParam();
  if (shown) {
    SetLayoutVisible(true);
    fake.timers.Advance(100);
  }
  const int installs = fake.hook.InstallCount();
  const std::uint32_t exStyle = Window().exStyle;
  const int alpha = Window().alpha;
  fake.layoutWindow.metrics[kSmCxFullScreen] = 1024;  // a display change
  fake.layoutWindow.metrics[kSmCyFullScreen] = 748;
  SyncOsdVisibility();
  EXPECT_EQ(Window().rect, (Rect{112, 443, 912, 743}));
  EXPECT_EQ(layoutShown, shown);
  EXPECT_EQ(fake.hook.InstallCount(), installs);
  EXPECT_FALSE(fake.timers.IsRunning(TIMER_FADE));
  EXPECT_EQ(Window().exStyle, exStyle);
  EXPECT_EQ(Window().alpha, alpha);
  if (shown) SetLayoutVisible(false);
}

INSTANTIATE_TEST_SUITE_P(HiddenOrShown, SyncOsdVisibilityTest, ::testing::Bool());

// A button's user data names its key only inside the active layout and for that very button.
class KeyIndexTest : public OsdTest {};

TEST_F(KeyIndexTest, AcceptsOnlyTheActiveLayoutsOwnButtons) {
  Start();
  const WindowId kb5 = keyboardLayout[5].button;
  EXPECT_EQ(KeyIndexOfButton(kb5, 5), 5);
  EXPECT_EQ(KeyIndexOfButton(keyboardLayout[82].button, 82), 82);
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[90].button, 90), std::nullopt) << "past the end";
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[5].button, 5), std::nullopt) << "another key";
  EXPECT_EQ(KeyIndexOfButton(kb5, 6), std::nullopt);
  EXPECT_EQ(KeyIndexOfButton(kb5, -1), std::nullopt);
  EXPECT_EQ(KeyIndexOfButton(kb5, 83), std::nullopt) << "the end record";
  EXPECT_EQ(KeyIndexOfButton(kb5, std::intptr_t{1} << 40), std::nullopt);
  EXPECT_EQ(KeyIndexOfButton(0, 0), std::nullopt);

  SelectLayout(phonepadLayout.data());
  EXPECT_EQ(KeyIndexOfButton(phonepadLayout[90].button, 90), 90);
  EXPECT_EQ(KeyIndexOfButton(kb5, 5), std::nullopt);
}

TEST_F(KeyIndexTest, PushesOutsideTheActiveLayoutAreIgnored) {
  Start();
  TrackKeyPush(83, true);
  TrackKeyPush(-1, true);
  TrackKeyPush(1000, false);
  SetLatch(500, true, true);
  EXPECT_FALSE(IsShifted(-3));
  EXPECT_EQ(keyboardLayout[83].pushed, 0);
  EXPECT_TRUE(fake.keyboard.Calls().empty());
}

}  // namespace
}  // namespace bk
