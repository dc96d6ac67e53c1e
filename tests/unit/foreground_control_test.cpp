#include "windows/foreground_control.h"

#include <gtest/gtest.h>

#include "fake/bk_test.h"

namespace bk {
namespace {

using fake::Window;
using Log = std::vector<std::string>;

class ForegroundTest : public fake::BkTest {};

// ---- button B: the candidate walk from the top of the Z order ------------------------------

struct CandidateCase {
  const char* rule;
  Window other;         // a window between the foreground window and a suitable one below both
  bool above = false;   // `other` lies above the foreground window
  bool chosen = false;  // B brings `other` forward, not the suitable one below
};

void PrintTo(const CandidateCase& c, std::ostream* out) {
  *out << c.rule;
}

class CandidateTest : public ForegroundTest, public ::testing::WithParamInterface<CandidateCase> {};

TEST_P(CandidateTest, BMinimisesAndBringsTheFirstSuitableWindowForward) {
  const CandidateCase& c = GetParam();
  Window other = c.other;
  other.name = "other";
  const WindowId front = fake.AddWindow({.name = "front"});
  const WindowId second = fake.AddWindow(other);
  const WindowId good = fake.AddWindow({.name = "good"});
  if (c.above) fake.zOrder = {second, front, good};

  ForegroundWindowAction(false);

  EXPECT_EQ(fake.log.at(0), "ShowWindow(front, 6)");
  EXPECT_EQ(fake.foreground, c.chosen ? second : good) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CandidateTest,
    ::testing::Values(CandidateCase{"popup", {.style = ws::Popup | ws::Visible | ws::Minimizebox}},
                      CandidateCase{"child", {.style = ws::Child | fake::kAppStyle}},
                      CandidateCase{"disabled", {.style = ws::Disabled | fake::kAppStyle}},
                      CandidateCase{"no WS_VISIBLE in its style", {.style = fake::kOverlapped}},
                      CandidateCase{"not visible", {.visible = false}},
                      CandidateCase{"minimised", {.minimized = true}},
                      CandidateCase{"no minimise box",
                                    {.style = fake::kAppStyle & ~ws::Minimizebox}},
                      CandidateCase{"non-activating", {.exStyle = ws::ExNoActivate}},
                      CandidateCase{"a suitable window", {}, false, true},
                      CandidateCase{"a suitable window above the foreground one", {}, true, true}));

TEST_F(ForegroundTest, BWithNoOtherSuitableWindowOnlyMinimises) {
  fake.AddWindow({.name = "front"});
  fake.AddWindow({.visible = false});
  fake.zOrderLoops = true;  // and the windows keep moving: the walk must still end
  ForegroundWindowAction(false);
  EXPECT_EQ(fake.log, Log{"ShowWindow(front, 6)"});
}

TEST_F(ForegroundTest, BActivatesNothingWhenTheCandidateDiesBeforeItsTurn) {
  fake.AddWindow({.name = "front"});
  const WindowId next = fake.AddWindow({.name = "next"});
  fake.onShow = [&] { fake.Destroy(next); };
  ForegroundWindowAction(false);
  EXPECT_EQ(fake.log, Log{"ShowWindow(front, 6)"});
}

// ---- buttons B and C on each kind of foreground window -------------------------------------

struct ActionCase {
  const char* what;
  bool maximise;
  Window front;
  const char* log;  // "": nothing happens at all
  bool failWindowInfo = false;
  bool noForeground = false;
};

void PrintTo(const ActionCase& c, std::ostream* out) {
  *out << c.what;
}

class ActionTest : public ForegroundTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionTest, MaximisesRestoresOrDoesNothing) {
  const ActionCase& c = GetParam();
  Window front = c.front;
  front.name = "front";
  fake.MakeForeground(c.noForeground ? 0 : fake.AddWindow(front));
  fake.failWindowInfo = c.failWindowInfo;
  ForegroundWindowAction(c.maximise);
  EXPECT_EQ(fake.log, *c.log ? Log{c.log} : Log{}) << c.what;
}

constexpr std::uint32_t kDialog = ws::Popup | ws::Visible | 0x00C80000;  // caption, system menu

INSTANTIATE_TEST_SUITE_P(
    Cases, ActionTest,
    ::testing::Values(
        ActionCase{"C maximises a normal window", true, {}, "ShowWindow(front, 3)"},
        ActionCase{"C restores a maximised one", true, {.maximized = true}, "ShowWindow(front, 9)"},
        ActionCase{"C restores a minimised one", true, {.minimized = true}, "ShowWindow(front, 9)"},
        ActionCase{"C on a dialog without a maximise box", true, {.style = kDialog}, ""},
        ActionCase{"B on a dialog without a minimise box", false, {.style = kDialog}, ""},
        ActionCase{"C when GetWindowInfo fails", true, {}, "", true},
        ActionCase{"B when GetWindowInfo fails", false, {}, "", true},
        ActionCase{"C with no foreground window", true, {}, "", false, true},
        ActionCase{"B with no foreground window", false, {}, "", false, true}));

// ---- ForceForeground: the escalation -------------------------------------------------------

// The burst on the window "target", with the results of its two SetForegroundWindow calls.
Log Burst(bool firstOk, bool secondOk) {
  const auto set = [](bool ok) {
    return std::string("SetForegroundWindow(target) -> ") + "01"[ok];
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
const std::string kAltTaps = "SendInput(4)";

struct EscalationCase {
  const char* what;
  int failures;  // -1: SetForegroundWindow always fails
  Log log;
};

void PrintTo(const EscalationCase& c, std::ostream* out) {
  *out << c.what;
}

class EscalationTest : public ForegroundTest,
                       public ::testing::WithParamInterface<EscalationCase> {};

TEST_P(EscalationTest, MakesTheCallsInOrder) {
  const EscalationCase& c = GetParam();
  fake.AddWindow({.name = "front", .thread = 11});
  const WindowId target = fake.AddWindow({.name = "target", .thread = 22});
  fake.failSetForeground = c.failures;
  ForceForeground(target);
  EXPECT_EQ(fake.log, c.log);
  // The Alt taps: Alt pressed and released twice, marked as the program's.
  const KeyInput down{vk::Menu, 0, kKeyEventExtended, kOwnInputMarker};
  const KeyInput up{vk::Menu, 0, kKeyEventExtended | kKeyEventKeyUp, kOwnInputMarker};
  for (const auto& call : fake.calls) EXPECT_EQ(call, (std::vector<KeyInput>{down, up, down, up}));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, EscalationTest,
    ::testing::Values(
        EscalationCase{"accepted at once", 0, Burst(1, 1) + Log{kToTop, kAccepted} + Burst(1, 1)},
        EscalationCase{"refused twice", 2, Burst(0, 0) + Log{kToTop, kAccepted} + Burst(1, 1)},
        EscalationCase{"accepted once attached", 3,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kAccepted} + Burst(1, 1) +
                           Log{kDetach} + Burst(1, 1)},
        EscalationCase{"accepted after the Alt taps", 4,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kRefused, kAltTaps, kAccepted} +
                           Burst(1, 1) + Log{kDetach} + Burst(1, 1)},
        EscalationCase{"always refused", -1,
                       Burst(0, 0) + Log{kToTop, kRefused, kAttach, kRefused, kAltTaps, kRefused} +
                           Burst(0, 0) + Log{kDetach} + Burst(0, 0)}));

TEST_F(ForegroundTest, ATargetAlreadyInFrontGetsOnlyTheFinalBurst) {
  ForceForeground(fake.AddWindow({.name = "target"}));
  EXPECT_EQ(fake.log, Burst(1, 1));
}

}  // namespace
}  // namespace bk
