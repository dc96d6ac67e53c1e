#include "windows/foreground_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake/bk_test.h"

namespace bk {
namespace {

using fake::kAppWindowStyle;
using fake::kOverlappedWindow;
using fake::WindowTraits;
using Log = std::vector<std::string>;

WindowTraits Named(std::string name, WindowTraits traits = {}) {
  traits.name = std::move(name);
  return traits;
}

class ForegroundTest : public fake::BkTest {
 protected:
  void SetUp() override {
    BkTest::SetUp();
    // Injected keys join the window commands in one log, so the order of both is checked.
    fake.keyboard.onInjected = [this](const KeyInput& event) {
      fake.desktop.Note(std::string("SendInput ") + (event.vk == vk::Menu ? "Alt" : "key") +
                        ((event.flags & kKeyEventKeyUp) != 0 ? " up" : " down"));
    };
  }
  fake::FakeDesktop& desktop = fake.desktop;
};

// ---- button B: the candidate walk ----------------------------------------------------------

struct SkipCase {
  const char* rule;
  WindowTraits traits;
};

class CandidateSkipTest : public ForegroundTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(CandidateSkipTest, BSkipsTheWindowAndBringsTheNextSuitableOneForward) {
  const WindowId front = desktop.AddWindow(Named("front"));
  const WindowId skipped = desktop.AddWindow(Named("skipped", GetParam().traits));
  const WindowId good = desktop.AddWindow(Named("good"));

  ForegroundWindowAction(false);

  EXPECT_TRUE(desktop.Minimized(front));
  EXPECT_EQ(desktop.ForegroundWindow(), good) << GetParam().rule;
  EXPECT_EQ(desktop.FocusWindow(), good);
  EXPECT_EQ(desktop.Style(skipped), GetParam().traits.style);
  EXPECT_EQ(desktop.Minimized(skipped), GetParam().traits.minimized);
}

WindowTraits Styled(std::uint32_t style, std::uint32_t exStyle = 0) {
  WindowTraits traits;
  traits.style = style;
  traits.exStyle = exStyle;
  return traits;
}
WindowTraits MinimisedWindow() {
  WindowTraits traits;
  traits.minimized = true;
  return traits;
}

const SkipCase kSkipCases[] = {
    {"popup", Styled(ws::Popup | ws::Visible | ws::Minimizebox)},
    {"child", Styled(ws::Child | kAppWindowStyle)},
    {"disabled", Styled(ws::Disabled | kAppWindowStyle)},
    {"invisible", Styled(kOverlappedWindow)},
    {"minimised", MinimisedWindow()},
    {"no minimise box", Styled(kAppWindowStyle & ~ws::Minimizebox)},
    {"non-activating", Styled(kAppWindowStyle, ws::ExNoActivate)},
};
INSTANTIATE_TEST_SUITE_P(Rules, CandidateSkipTest, ::testing::ValuesIn(kSkipCases));

TEST_F(ForegroundTest, BWithNoOtherSuitableWindowOnlyMinimises) {
  // Every window but the foreground one breaks a rule; the foreground window, on top, is no
  // successor of itself.
  const WindowId front = desktop.AddWindow(Named("front"));
  for (const SkipCase& skip : kSkipCases) desktop.AddWindow(skip.traits);

  ForegroundWindowAction(false);

  EXPECT_TRUE(desktop.Minimized(front));
  EXPECT_EQ(desktop.ForegroundWindow(), 0u);
  EXPECT_EQ(desktop.log, Log{"ShowWindow(front, 6)"});
}

TEST_F(ForegroundTest, BActivatesNothingWhenTheCandidateDiesBeforeItsTurn) {
  const WindowId front = desktop.AddWindow(Named("front"));
  const WindowId next = desktop.AddWindow(Named("next"));
  desktop.onShow = [&](WindowId, int command) {
    if (command == sw::Minimize) desktop.Destroy(next);
  };

  ForegroundWindowAction(false);

  EXPECT_TRUE(desktop.Minimized(front));
  EXPECT_EQ(desktop.ForegroundWindow(), 0u);
  EXPECT_EQ(desktop.log, Log{"ShowWindow(front, 6)"});
}

TEST_F(ForegroundTest, TheWalkEndsWhenTheZOrderKeepsChanging) {
  const WindowId front = desktop.AddWindow(Named("front"));
  for (int i = 0; i < 5; ++i) desktop.AddWindow(Styled(kOverlappedWindow));
  desktop.zOrderLoops = true;

  ForegroundWindowAction(false);

  EXPECT_LE(desktop.nextBelowCalls, static_cast<int>(kMaxCandidateWalk));
  EXPECT_TRUE(desktop.Minimized(front));
  EXPECT_EQ(desktop.ForegroundWindow(), 0u);
}

// ---- buttons B and C that do nothing ------------------------------------------------------

struct NothingCase {
  const char* what;
  bool maximise;
  WindowTraits foreground;
  bool noForeground = false;
  bool failWindowInfo = false;
};

class NothingHappensTest : public ForegroundTest,
                           public ::testing::WithParamInterface<NothingCase> {};

TEST_P(NothingHappensTest, LeavesEveryWindowAsItWas) {
  const NothingCase& c = GetParam();
  const WindowId front = desktop.AddWindow(Named("front", c.foreground));
  desktop.AddWindow(Named("other"));
  if (c.noForeground) desktop.MakeForeground(0);
  desktop.failWindowInfo = c.failWindowInfo;

  ForegroundWindowAction(c.maximise);

  EXPECT_TRUE(desktop.log.empty()) << c.what << ": " << desktop.log.front();
  EXPECT_FALSE(desktop.Minimized(front));
  EXPECT_FALSE(desktop.Maximized(front));
}

constexpr std::uint32_t kDialogStyle = ws::Popup | ws::Visible | 0x00C80000;  // caption, menu

INSTANTIATE_TEST_SUITE_P(
    Cases, NothingHappensTest,
    ::testing::Values(
        NothingCase{"C on a dialog without a maximise box", true, Styled(kDialogStyle)},
        NothingCase{"B on a dialog without a minimise box", false, Styled(kDialogStyle)},
        NothingCase{"C with no foreground window", true, {}, true},
        NothingCase{"B with no foreground window", false, {}, true},
        NothingCase{"C when GetWindowInfo fails", true, {}, false, true},
        NothingCase{"B when GetWindowInfo fails", false, {}, false, true}));

// ---- button C on each window state ---------------------------------------------------------

struct StateCase {
  const char* state;
  bool minimized;
  bool maximized;
  int command;
  bool maximizedAfter;
};

class MaximiseTest : public ForegroundTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(MaximiseTest, CMaximisesOrRestores) {
  const StateCase& c = GetParam();
  WindowTraits traits = Named("front");
  traits.minimized = c.minimized;
  traits.maximized = c.maximized;
  const WindowId front = desktop.AddWindow(traits);
  desktop.MakeForeground(front);

  ForegroundWindowAction(true);

  EXPECT_EQ(desktop.log, Log{"ShowWindow(front, " + std::to_string(c.command) + ")"}) << c.state;
  EXPECT_FALSE(desktop.Minimized(front));
  EXPECT_EQ(desktop.Maximized(front), c.maximizedAfter);
}

INSTANTIATE_TEST_SUITE_P(States, MaximiseTest,
                         ::testing::Values(StateCase{"normal", false, false, sw::Maximize, true},
                                           StateCase{"maximised", false, true, sw::Restore, false},
                                           StateCase{"minimised", true, false, sw::Restore,
                                                     false}));

// ---- ForceForeground: the escalation -------------------------------------------------------

// The burst on the window "target", with the results of its two SetForegroundWindow calls.
Log Burst(bool firstOk, bool secondOk) {
  const auto set = [](bool ok) {
    return std::string("SetForegroundWindow(target) -> ") + (ok ? "1" : "0");
  };
  return {"ShowWindow(target, 5)",
          set(firstOk),
          "BringWindowToTop(target)",
          "SetActiveWindow(target)",
          "SetFocus(target)",
          "ShowWindow(target, 5)",
          set(secondOk),
          "SetFocus(target)"};
}

Log operator+(Log first, const Log& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

const std::string kToTop = "SetWindowPos(target, HWND_TOP)";
const std::string kAccepted = "SetForegroundWindow(target) -> 1";
const std::string kRefused = "SetForegroundWindow(target) -> 0";
const std::string kAttach = "AttachThreadInput(11, 22, 1)";
const std::string kDetach = "AttachThreadInput(11, 22, 0)";
const Log kAltTaps = {"SendInput Alt down", "SendInput Alt up", "SendInput Alt down",
                      "SendInput Alt up"};

struct EscalationCase {
  const char* what;
  int failures;  // -1: SetForegroundWindow always fails
  Log log;
  bool targetInFront;
};

class EscalationTest : public ForegroundTest,
                       public ::testing::WithParamInterface<EscalationCase> {};

TEST_P(EscalationTest, MakesTheCallsInOrder) {
  const EscalationCase& c = GetParam();
  WindowTraits front = Named("front");
  front.thread = 11;
  WindowTraits target = Named("target");
  target.thread = 22;
  const WindowId frontId = desktop.AddWindow(front);
  const WindowId targetId = desktop.AddWindow(target);
  desktop.failSetForegroundAlways = c.failures < 0;
  desktop.failSetForegroundTimes = c.failures < 0 ? 0 : c.failures;

  ForceForeground(targetId);

  EXPECT_EQ(desktop.log, c.log) << c.what;
  EXPECT_EQ(desktop.ForegroundWindow(), c.targetInFront ? targetId : frontId);
  EXPECT_EQ(desktop.FocusWindow(), c.targetInFront ? targetId : frontId);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EscalationTest,
    ::testing::Values(
        EscalationCase{"accepted at once", 0, Burst(1, 1) + Log{kToTop, kAccepted} + Burst(1, 1),
                       true},
        EscalationCase{"refused once", 1, Burst(0, 1) + Log{kToTop, kAccepted} + Burst(1, 1), true},
        EscalationCase{"refused twice", 2, Burst(0, 0) + Log{kToTop, kAccepted} + Burst(1, 1),
                       true},
        EscalationCase{"accepted once attached", 3,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kAccepted} + Burst(1, 1) +
                           Log{kDetach} + Burst(1, 1),
                       true},
        EscalationCase{"accepted after the Alt taps", 4,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kRefused} + kAltTaps +
                           Log{kAccepted} + Burst(1, 1) + Log{kDetach} + Burst(1, 1),
                       true},
        EscalationCase{"always refused", -1,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kRefused} + kAltTaps +
                           Log{kRefused} + Burst(0, 0) + Log{kDetach} + Burst(0, 0),
                       false}));

TEST_F(ForegroundTest, TheAltTapsAreOneCallOfFourMarkedEvents) {
  desktop.AddWindow(Named("front"));
  const WindowId target = desktop.AddWindow(Named("target"));
  desktop.failSetForegroundAlways = true;

  ForceForeground(target);

  ASSERT_EQ(fake.keyboard.Calls().size(), 1u);
  const KeyInput down{vk::Menu, 0, kKeyEventExtended, kOwnInputMarker};
  const KeyInput up{vk::Menu, 0, kKeyEventExtended | kKeyEventKeyUp, kOwnInputMarker};
  EXPECT_EQ(fake.keyboard.Calls()[0], (std::vector<KeyInput>{down, up, down, up}));
}

TEST_F(ForegroundTest, AMinimisedTargetIsRestoredAfterTheEscalation) {
  desktop.AddWindow(Named("front"));
  WindowTraits traits = Named("target");
  traits.minimized = true;
  traits.maximized = true;  // minimised from maximised: it comes back maximised
  const WindowId target = desktop.AddWindow(traits);

  ForceForeground(target);

  const Log expected = Burst(1, 1) + Log{kToTop, kAccepted} +
                       Log{"PostMessageA(target, 0x112, 0xF120, 0)"} + Burst(1, 1);
  EXPECT_EQ(desktop.log, expected);
  EXPECT_FALSE(desktop.Minimized(target));
  EXPECT_TRUE(desktop.Maximized(target));
  EXPECT_EQ(desktop.ForegroundWindow(), target);
}

TEST_F(ForegroundTest, ATargetAlreadyInFrontGetsOnlyTheFinalBurst) {
  const WindowId target = desktop.AddWindow(Named("target"));
  ForceForeground(target);
  EXPECT_EQ(desktop.log, Burst(1, 1));
}

TEST_F(ForegroundTest, WithNoForegroundWindowTheDesktopsThreadIsAttached) {
  desktop.AddWindow(Named("other"));
  WindowTraits traits = Named("target");
  traits.thread = 22;
  const WindowId target = desktop.AddWindow(traits);
  desktop.MakeForeground(0);
  desktop.failSetForegroundTimes = 3;

  ForceForeground(target);

  const Log& log = desktop.log;
  EXPECT_NE(std::find(log.begin(), log.end(), "AttachThreadInput(7, 22, 1)"), log.end());
  EXPECT_EQ(desktop.ForegroundWindow(), target);
}

}  // namespace
}  // namespace bk
